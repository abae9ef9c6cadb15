// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/LinkPolicy.h"
#include "device/LinkStatistics.h"
#include "device/PacketParser.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>

namespace kx::device {

class RegisterImageHolder;

inline constexpr std::size_t kReadBufferSize = 65000;
inline constexpr std::size_t kAwgEntries = 2048;
inline constexpr std::size_t kAwgBlockEntries = 64;
inline constexpr std::uint16_t kAwgAddress = 0xA000;
inline constexpr int kAckSteps = 100;
inline constexpr int kReadySteps = 200;
inline constexpr int kStepSleepMs = 5;

// What the link tells the acquisition layer; every call comes from the acquisition thread.
class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    // After a read step that accepted at least one data packet (the last one is handed over):
    // waveform assembly and the frame-ready signals.
    virtual void dataAccepted(const DataPacketView& /*packet*/) {}
    // The FPGA configuration's progress changed (percent): show it in the GUI.
    virtual void configurationProgress(int /*percent*/) {}
    // The instrument reported ready after its configuration: the settings-changed notification.
    virtual void configured() {}
};

// Everything the acquisition thread does with the instrument after opening: read-and-parse,
// the settings frame, the AWG upload and the FPGA configuration. Used only from that thread,
// except the atomics it exposes.
class DeviceLink {
public:
    DeviceLink(const D2xxBinding& binding, Connection& connection, RequestFlags& flags, LinkStatistics& stats,
               StatusBoard& status, RegisterImageHolder& registers);

    void setEvents(LinkEvents* events) { m_events = events; }
    void setStopToken(std::stop_token token) { m_stop = std::move(token); }
    PacketParser& parser() { return m_parser; }
    LinkPolicy& policy() { return m_policy; }

    // One read-and-parse step. Returns the number of bytes parsed.
    std::size_t readStep();

    // send-settings: preamble, a body with a fresh sequence number, the write (its status goes
    // to DeviceStatus) and the wait for the acknowledgement. Returns true when acknowledged.
    bool sendSettings();

    // Uploads the AWG table block by block; stops at the first block without acknowledgement.
    // Returns true when all 32 blocks were acknowledged.
    bool uploadAwg(std::span<const std::int32_t, kAwgEntries> table);

    // Shifts the configuration image into the FPGA through bit-bang mode, then waits for ready.
    // Returns true when the instrument reported ready.
    bool configureFpga(std::span<const std::uint8_t> image);

    // AWG-loaded, transfer-failed and the configuration progress (0 when none runs).
    std::atomic<bool> awgLoaded{false};
    std::atomic<bool> transferFailed{false};
    std::atomic<int> configProgress{0};

private:
    bool stopRequested() const { return m_stop.stop_requested(); }
    FT_STATUS writeAll(std::span<const std::uint8_t> bytes);
    bool writeFrame(std::span<const std::uint8_t> body);
    bool waitAcknowledgement();

    const D2xxBinding& m_binding;
    Connection& m_connection;
    RequestFlags& m_flags;
    LinkStatistics& m_stats;
    RegisterImageHolder& m_registers;
    LinkPolicy m_policy;
    PacketParser m_parser;
    LinkEvents* m_events = nullptr;
    std::stop_token m_stop;
    std::unique_ptr<std::uint8_t[]> m_readBuffer;
    std::unique_ptr<std::uint8_t[]> m_pinBuffer;
};

// The instrument reset: a pulse on the FPGA's program line, then serial mode with a purged
// receive buffer. The caller keeps the acquisition thread away from the driver meanwhile.
// Does nothing unless DeviceStatus is 0. Returns the first failing D2XX status, or 0.
FT_STATUS resetInstrument(const D2xxBinding& binding, Connection& connection);

} // namespace kx::device
