// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "decoders/DecodedChar.h"

#include <cstdint>
#include <span>
#include <string>

namespace kx::files {

// Where a decoded line's sample indices stand in time.
struct DecodedLineTiming {
    std::int64_t periodPs = 0;     // sample period of the line's channel
    std::int64_t triggerIndex = 0; // sample index of the trigger point
};

// The timing of a decoder source (1 A1, 2 A2, 3..6 D1..D4) in a frame: analog samples with the
// trigger at PreTrigger, digital ones at DigitalPeriodPs with the trigger at the same instant.
DecodedLineTiming decodedLineTiming(const core::FrameHeader& h, int source);

// Both lines' characters of one frame.
struct DecodedTraffic {
    std::span<const decoders::DecodedChar> rxd;
    std::span<const decoders::DecodedChar> txd;
    DecodedLineTiming rxdTiming;
    DecodedLineTiming txdTiming;
    int dataBits = 8; // the width of the hexadecimal values
};

// CSV of both lines merged in time order (RXD first at equal times): a heading row, then one row
// per character: the time of its start bit in seconds from the trigger, "RXD" or "TXD", the
// value in hexadecimal ("0x41"), the character when it is printable ASCII (quoted), and the
// parity and framing error flags as 0 or 1. Lines end in CR LF.
void buildDecodedCsv(const DecodedTraffic& traffic, std::string& out);

} // namespace kx::files
