// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::files {

// The value forms of the settings files.

// Decimal, or hexadecimal with "0x" or "$", optionally signed; nothing else. Hexadecimal
// text wraps to 32 bits as the colour values need ("$FFFFFFFF" is -1).
std::optional<std::int32_t> parseInteger(std::string_view text);
std::optional<std::int64_t> parseInteger64(std::string_view text);
// Accepts '.' or ',' as the decimal separator.
std::optional<double> parseFloat(std::string_view text);
std::string formatFloat(double value);
// Two upper-case hexadecimal digits per byte.
std::string formatBinary(std::span<const std::uint8_t> bytes);
std::optional<std::vector<std::uint8_t>> parseBinary(std::string_view text);
// "0x" followed by four upper-case hexadecimal digits.
std::string formatDeviceType(std::int32_t code);

// A level is stored as its integer part (truncated towards zero) and the rest in millionths.
struct SplitLevel {
    std::int64_t whole = 0;
    std::int64_t fine = 0;
};
SplitLevel splitLevel(double level);
double joinLevel(std::int64_t whole, std::int64_t fine);

} // namespace kx::files
