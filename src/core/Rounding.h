// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>

// The two rounding rules of the program. Both map NaN to 0 and saturate at the limits of the
// result type, so a corrupt header or an absurd setting can never overflow a conversion.
namespace kx::core {

namespace detail {
template <typename Int>
constexpr bool outsideBelow(double x) {
    return x <= static_cast<double>(std::numeric_limits<Int>::min());
}
template <typename Int>
constexpr bool outsideAbove(double x) {
    // For 64 bits the maximum converts to 2^63, itself already out of range.
    return x >= static_cast<double>(std::numeric_limits<Int>::max());
}
} // namespace detail

// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
template <typename Int = std::int64_t>
constexpr Int roundHalfAway(double x) {
    if (x != x) return 0;
    const double r = x >= 0 ? x + 0.5 : x - 0.5;
    if (detail::outsideBelow<Int>(r)) return std::numeric_limits<Int>::min();
    if (detail::outsideAbove<Int>(r)) return std::numeric_limits<Int>::max();
    return static_cast<Int>(r); // truncation toward zero completes the rule
}

// Truncation after adding 0.5 (2.5 -> 3, -2.5 -> -2, -2.6 -> -2): the rule of the instrument's
// own register formulas.
template <typename Int = std::int64_t>
constexpr Int roundAddHalf(double x) {
    if (x != x) return 0;
    const double r = x + 0.5;
    if (detail::outsideBelow<Int>(r)) return std::numeric_limits<Int>::min();
    if (detail::outsideAbove<Int>(r)) return std::numeric_limits<Int>::max();
    return static_cast<Int>(r);
}

} // namespace kx::core
