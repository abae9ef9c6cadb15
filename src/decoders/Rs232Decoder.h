// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"

#include <cstdint>
#include <span>

namespace kx::decoders {

// Parity of the RS232 decoder ("PRTY").
enum class Rs232Parity : std::int32_t { None = 0, Even = 1, Odd = 2, Ignore = 3 };

// Framing of one line.
struct Rs232Format {
    std::int64_t baudRate = 115200; // bits per second
    int dataBits = 8;               // 2..32
    Rs232Parity parity = Rs232Parity::None;
    int stopBits = 1; // 1..2
    bool msbFirst = false;
};

// One line's samples: per-sample minimum and maximum, in the channel's sample scale.
struct Rs232Line {
    std::span<const std::int32_t> min;
    std::span<const std::int32_t> max;
    std::int64_t samplePeriodPs = 0;
    double low = 0;  // below: space (before inversion)
    double high = 0; // at or above: mark
    bool inverted = false;
};

// Decodes one line into `out` (at most kMaxDecodedChars entries used) and returns the
// count. Fewer than 4 samples per bit decode nothing. Allocates nothing.
int decodeRs232(const Rs232Line& line, const Rs232Format& format, std::span<DecodedChar> out);

inline void decodeRs232(const Rs232Line& line, const Rs232Format& format, DecodedLine& out) {
    out.count = decodeRs232(line, format, std::span<DecodedChar>(out.chars));
}

} // namespace kx::decoders
