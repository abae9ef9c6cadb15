// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx::files {

struct DataFileNames;

// One flag per channel, A1, A2, D1 .. D4.
using ChannelSet = std::array<bool, core::kChannelCount>;

// The channels the Channels menu shows (Menu_CH_A1 .. Menu_CH_D4).
ChannelSet shownChannels(const core::InstrumentState& state);
// Every channel: the tool exports whatever a file holds.
constexpr ChannelSet kAllChannels{true, true, true, true, true, true};
// Those of `shown` that the frame holds (ChannelMask).
ChannelSet exportedChannels(const core::FrameHeader& h, const ChannelSet& shown);
bool anyChannel(const ChannelSet& set);
bool anyDigital(const ChannelSet& set);

constexpr bool isAnalog(core::Channel c) {
    return c == core::Channel::A1 || c == core::Channel::A2;
}
constexpr std::uint32_t maskBit(core::Channel c) {
    return 1u << static_cast<int>(c);
}
constexpr std::string_view channelName(core::Channel c) {
    constexpr std::string_view kNames[core::kChannelCount] = {"A1", "A2", "D1", "D2", "D3", "D4"};
    return kNames[static_cast<int>(c)];
}

// A sample code as opposed to the no-sample marker; averaged analog codes reach 0xFFFF.
constexpr bool isSampleCode(std::int32_t v) {
    return v >= 0 && v <= 0xFFFF;
}

// Samples a channel holds: AnalogCount for A1 and A2, DigitalCount for D1 .. D4, never more
// than the buffers.
std::size_t sampleCount(const core::FrameHeader& h, core::Channel c);
// Digital samples per analog sample: SamplePeriodPs / DigitalPeriodPs, 1 when either is 0.
std::uint64_t digitalPerAnalog(const core::FrameHeader& h);
// Microvolts of an analog sample code: Scale x 8 x (code - Zero) / 65536.
double analogMicrovolts(const core::FrameHeader& h, core::Channel c, std::int32_t code);
// The analog step of one code, in microvolts: Scale x 8 / 65536.
double analogStepMicrovolts(const core::FrameHeader& h, core::Channel c);

// Default name of an export dialog: the data file name with `extension` when one is known,
// else "*" + extension.
std::string offeredExportName(const DataFileNames& names, const char* extension);

// Copies header and samples under the live record's lock, so the dialogs that follow need none.
void snapshotFrame(const core::FrameRecord& live, core::FrameRecord& copy);

} // namespace kx::files
