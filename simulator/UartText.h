// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

#include <optional>
#include <string>
#include <string_view>

namespace kx::sim {

// Framing of a serial line: data bits (least significant first unless msbFirst), an optional
// parity bit, stop bits; idle at the high level unless inverted.
struct UartFormat {
    std::int64_t baud = 9600;
    int dataBits = 8;  // 2..32
    char parity = 'N'; // 'N', 'E' or 'O'
    int stopBits = 1;  // 1..2
    bool inverted = false;
    bool msbFirst = false;
};

// A looping text on a UART line, with an idle gap after each repetition so that a receiver that
// starts anywhere finds the frames. Levels 0 V and `high`.
class UartText final : public Signal {
public:
    static constexpr int kIdleBits = 20;

    UartText(std::string text, UartFormat format, double high = 3.3);

    // "uart:BAUD:FORMAT:TEXT[:inv][:msb]": FORMAT as "8N1" or "7E2"; TEXT with the escapes \r, \n,
    // \t, \\ and \xHH (";" must be written \x3B). nullopt on anything else.
    static std::optional<UartText> parse(std::string_view value, double high);

    double volts(Picoseconds t) const override;
    double mean() const override { return m_mean; }
    double periodPs() const override;
    Picoseconds stableUntil(Picoseconds t) const override;

    const std::string& text() const { return m_text; }
    const UartFormat& format() const { return m_format; }

private:
    // Line level (1 mark, 0 space) of bit `bit` of one repetition, before inversion.
    int level(std::int64_t bit) const;

    std::string m_text;
    UartFormat m_format;
    double m_high;
    int m_bitsPerChar;
    std::int64_t m_bitsPerLoop;
    double m_mean = 0;
};

} // namespace kx::sim
