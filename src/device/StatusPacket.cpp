// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/StatusPacket.h"

#include "core/Crc16.h"

#include <algorithm>

namespace kx::device {

namespace {

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(le16(p)) | (static_cast<std::uint32_t>(le16(p + 2)) << 16);
}

// Counter state bits: the source code in the low nibble.
constexpr std::uint32_t kCounterSourceMask = 0x0F;
constexpr std::uint32_t kCounterPeriodMode = 0x10;
constexpr std::uint32_t kCounterTimeNotValid = 0x20;
constexpr std::uint32_t kCounterCountNotValid = 0x40;
constexpr std::uint32_t kCounterOverflow = 0xFFFFFFFFu;
constexpr double kTicksPerSecond = 2e8; // the 200 MHz counter clock
constexpr double kTickNs = 5.0;

} // namespace

StatusPacket decodeStatusPacket(std::span<const std::uint8_t, status::kBodySize> body) {
    const std::uint8_t* s = body.data();
    StatusPacket p;
    p.kind = s[status::Kind];
    p.firmwareVersion = static_cast<std::uint16_t>(s[status::Firmware] + 300);
    p.fpgaVersion = static_cast<std::uint16_t>(s[status::Fpga] + 300);
    p.flashFailure = s[status::FlashFailure] != 0;
    p.deviceType = le16(s + status::DeviceType);
    p.flashHash = le16(s + status::FlashHash);
    p.serial = static_cast<std::uint64_t>(le32(s + status::Serial)) |
               (static_cast<std::uint64_t>(le32(s + status::Serial + 4)) << 32);
    p.flags = s[status::Flags];
    p.counterState = s[status::CounterState];
    p.counterEdges = le32(s + status::CounterEdges);
    p.counterTicks = le32(s + status::CounterTicks);
    p.zeroTableValid = core::crc16({s + status::ZeroTable, core::kCalTableSize}) == 0;
    if (p.zeroTableValid) std::copy_n(s + status::ZeroTable, core::kCalTableSize, p.zeroTable.begin());
    p.systemTableValid = core::crc16({s + status::SystemTable, core::kCalTableSize}) == 0;
    if (p.systemTableValid) std::copy_n(s + status::SystemTable, core::kCalTableSize, p.systemTable.begin());
    p.supplyRaw = le16(s + status::Supply);
    // Rounded to nearest, halves up (the value is never negative).
    p.supplyMillivolts = static_cast<std::int32_t>((static_cast<std::uint32_t>(p.supplyRaw) * 6600u + 32768u) >> 16);
    p.powerOnCounter = le16(s + status::PowerOnCounter);
    return p;
}

CounterReading decodeCounter(std::uint32_t state, std::uint32_t edges, std::uint32_t ticks) {
    CounterReading r;
    const std::uint32_t code = state & kCounterSourceMask;
    if (code >= 1 && code <= 12) {
        r.channel = static_cast<int>(code <= 6 ? code - 1 : code - 7);
        r.throughTrigger = code > 6;
    }
    // Fewer than two edges give no interval to measure.
    r.frequencyValid = (state & (kCounterPeriodMode | kCounterTimeNotValid)) == 0 && ticks != 0 && edges >= 1;
    if (r.frequencyValid) r.frequencyHz = (edges - 1.0) * kTicksPerSecond / ticks;

    const bool periodMode = (state & kCounterPeriodMode) != 0;
    if ((state & kCounterTimeNotValid) != 0 || !periodMode)
        r.period = CounterReading::Value::NotValid;
    else if (ticks == kCounterOverflow)
        r.period = CounterReading::Value::Overflow;
    else
        r.period = CounterReading::Value::Valid;
    r.periodNs = ticks * kTickNs;

    if ((state & kCounterCountNotValid) != 0 || !periodMode)
        r.count = CounterReading::Value::NotValid;
    else if (edges == kCounterOverflow)
        r.count = CounterReading::Value::Overflow;
    else
        r.count = CounterReading::Value::Valid;
    r.edges = edges;
    return r;
}

} // namespace kx::device
