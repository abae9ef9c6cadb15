// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::device {

// The body of a status packet, by offset.
namespace status {
constexpr std::size_t kBodySize = 160;

constexpr std::size_t Kind = 0;           // 2 ready, 3 acknowledgement, other plain status
constexpr std::size_t Firmware = 1;       // version - 300
constexpr std::size_t Fpga = 2;           // version - 300
constexpr std::size_t FlashFailure = 3;   // non-zero: the flash memory failed
constexpr std::size_t DeviceType = 4;     // 16-bit
constexpr std::size_t FlashHash = 6;      // 16-bit
constexpr std::size_t Serial = 8;         // 64-bit
constexpr std::size_t Flags = 16;         // kFlag* bits
constexpr std::size_t CounterState = 17;  // frequency counter: CounterReading's status
constexpr std::size_t CounterEdges = 18;  // 32-bit
constexpr std::size_t CounterTicks = 22;  // 32-bit, 5 ns ticks
constexpr std::size_t ZeroTable = 26;     // 64 bytes ending in their CRC
constexpr std::size_t SystemTable = 90;   // 64 bytes ending in their CRC
constexpr std::size_t Supply = 154;       // 16-bit, 6.6 V full scale
constexpr std::size_t PowerOnCounter = 156; // 16-bit

constexpr std::uint8_t kKindReady = 2;
constexpr std::uint8_t kKindAcknowledgement = 3;

constexpr std::uint8_t kFlagAwgStateMask = 0x03;
constexpr std::uint8_t kFlagPin = 0x80;
} // namespace status

// A status packet with a good CRC, decoded; the tables are taken only when their own CRC holds.
struct StatusPacket {
    std::uint8_t kind = 0;
    std::uint16_t firmwareVersion = 0; // value + 300, shown as d.dd
    std::uint16_t fpgaVersion = 0;
    bool flashFailure = false;
    std::uint16_t deviceType = 0;
    std::uint16_t flashHash = 0;
    std::uint64_t serial = 0;
    std::uint8_t flags = 0;
    std::uint8_t counterState = 0;
    std::uint32_t counterEdges = 0;
    std::uint32_t counterTicks = 0;
    core::CalTable zeroTable{};
    core::CalTable systemTable{};
    bool zeroTableValid = false;
    bool systemTableValid = false;
    std::uint16_t supplyRaw = 0;
    std::int32_t supplyMillivolts = 0;
    std::uint16_t powerOnCounter = 0;
};

StatusPacket decodeStatusPacket(std::span<const std::uint8_t, status::kBodySize> body);

// The hardware frequency counter's reading, decoded once; the readouts only format it.
struct CounterReading {
    enum class Value : std::uint8_t { Valid, NotValid, Overflow };
    int channel = -1;           // 0..5 = A1, A2, D1..D4; -1 when no source is counted
    bool throughTrigger = false; // counted through the trigger path: "(T)"
    // Frequency mode.
    bool frequencyValid = false;
    double frequencyHz = 0;
    // Period and counter mode.
    Value period = Value::NotValid;
    double periodNs = 0;
    Value count = Value::NotValid;
    std::uint32_t edges = 0;
};

CounterReading decodeCounter(std::uint32_t state, std::uint32_t edges, std::uint32_t ticks);

} // namespace kx::device
