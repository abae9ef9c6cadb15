// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <cstdint>
#include <mutex>

namespace kx::device {

// What the instrument reports in its status packets, as decoded.
struct StatusInfo {
    std::uint32_t packets = 0;         // good status packets decoded since start
    std::uint8_t lastKind = 0;         // 2 ready, 3 acknowledgement, other plain status
    std::uint16_t firmwareVersion = 0; // value + 300, shown as d.dd
    std::uint16_t fpgaVersion = 0;
    bool flashFailure = false;
    std::uint16_t deviceType = 0; // ReportedDeviceType
    std::uint16_t flashHash = 0;
    std::uint64_t serial = 0;
    std::uint8_t flags = 0; // byte 16
    bool pin = false;       // bit 7 of byte 16
    // AWG state (bits 0, 1 of byte 16), taken only while DeviceConfigured.
    std::uint8_t awgState = 0;
    bool awgStateKnown = false;
    // Hardware frequency counter, taken only while DeviceConfigured and Running.
    std::uint8_t counterState = 0;
    std::uint32_t counterEdges = 0;
    std::uint32_t counterTicks = 0;
    std::uint32_t counterUpdates = 0;
    std::uint16_t supplyRaw = 0;
    std::int32_t supplyMillivolts = 0;
    std::uint16_t powerOnCounter = 0;
    // The tables as last received with a valid CRC; the flags say one has come since forget().
    core::CalTable zeroTable{};
    core::CalTable systemTable{};
    bool zeroTableRead = false;
    bool systemTableRead = false;
    // Counts of tables taken onto the board: the GUI copies a table when its count has moved.
    std::uint32_t zeroTableUpdates = 0;
    std::uint32_t systemTableUpdates = 0;
};

// The decoded status, written by the parser in the acquisition thread and read by the GUI.
class StatusBoard {
public:
    StatusInfo snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_info;
    }
    template <typename Edit> void update(Edit&& edit) {
        std::lock_guard lock(m_mutex);
        edit(m_info);
    }
    // Supervision forgets what the instrument told about its tables.
    void forgetTables() {
        update([](StatusInfo& s) { s.zeroTableRead = s.systemTableRead = false; });
    }

private:
    mutable std::mutex m_mutex;
    StatusInfo m_info;
};

} // namespace kx::device
