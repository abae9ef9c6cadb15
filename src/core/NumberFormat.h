// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx::core {

// Unit kinds of the number formatter, with the unit the value is given in.
enum class UnitType {
    Time = 0,        // nanoseconds
    Voltage = 1,     // microvolts
    Frequency = 2,   // hertz
    Capacitance = 3, // picofarads
    Inductance = 4,  // nanohenries
    Resistance = 5,  // ohms
};

// Value with unit prefix, e.g. formatNumber(1500, UnitType::Frequency, -3) == "1.50 KHz".
// precision <= 0: |precision| significant digits; precision > 0: the last digit keeps the
// same absolute weight in every tier. decimalSeparator is the locale's ('.' or ',').
std::string formatNumber(double value, UnitType type, int precision, char decimalSeparator = '.');
inline std::string formatNumber(double value, int type, int precision, char decimalSeparator = '.') {
    return formatNumber(value, static_cast<UnitType>(type), precision, decimalSeparator);
}

// Fixed-point text with `decimals` decimals after rounding to 15 significant digits first,
// halves away from zero (so 2.675 gives "2.68", as a decimal reader expects).
std::string formatFixed(double value, int decimals, char decimalSeparator = '.');

} // namespace kx::core
