// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberFormat.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kx::core {
namespace {

constexpr std::array<std::array<const char*, 5>, 6> kUnits{{
    {"pS", "nS", "uS", "mS", "S"},
    {"nV", "uV", "mV", "V", "KV"},
    {"mHz", "Hz", "KHz", "MHz", "GHz"},
    {"fF", "pF", "nF", "uF", "mF"},
    {"pH", "nH", "uH", "mH", "H"},
    {"mOhm", "Ohm", "KOhm", "MOhm", "GOhm"},
}};

int decadeDigits(double a, double base) {
    // 1, 2 or 3 integer digits within a tier that starts at `base`.
    if (a < base * 10) return 1;
    if (a < base * 100) return 2;
    return 3;
}

} // namespace

std::string formatFixed(double value, int decimals, char decimalSeparator) {
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");

    // 15 significant digits as a decimal string: d.dddddddddddddde±XX
    char sci[40];
    std::snprintf(sci, sizeof sci, "%.14e", value);
    bool negative = sci[0] == '-';
    const char* p = sci + (negative ? 1 : 0);
    std::string digits;
    digits.push_back(p[0]);
    for (const char* q = p + 2; *q && *q != 'e'; ++q) digits.push_back(*q);
    int exp10 = std::atoi(std::strchr(p, 'e') + 1);

    // Place the digits: integer part has exp10 + 1 digits (may be <= 0).
    int intDigits = exp10 + 1;
    std::string intPart, fracPart;
    if (intDigits > 0) {
        if (intDigits <= static_cast<int>(digits.size())) {
            intPart = digits.substr(0, intDigits);
            fracPart = digits.substr(intDigits);
        } else {
            intPart = digits + std::string(intDigits - digits.size(), '0');
        }
    } else {
        intPart = "0";
        fracPart = std::string(-intDigits, '0') + digits;
    }

    // Round half away from zero to `decimals` decimals on the decimal digits.
    bool roundUp = static_cast<int>(fracPart.size()) > decimals && fracPart[decimals] >= '5';
    if (static_cast<int>(fracPart.size()) > decimals) fracPart.resize(decimals);
    else fracPart.append(decimals - fracPart.size(), '0');
    if (roundUp) {
        std::string all = intPart + fracPart;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[i] == '9') all[i--] = '0';
        if (i >= 0) ++all[i];
        else all.insert(all.begin(), '1');
        intPart = all.substr(0, all.size() - decimals);
        fracPart = all.substr(all.size() - decimals);
    }
    while (intPart.size() > 1 && intPart[0] == '0') intPart.erase(0, 1);

    bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out.push_back(decimalSeparator);
        out += fracPart;
    }
    return out;
}

std::string formatNumber(double v, UnitType type, int b, char decimalSeparator) {
    const int t = static_cast<int>(type);
    const int ti = (t >= 0 && t <= 5) ? t : 0;
    const double a = std::fabs(v);

    int tier = 1; // index into the unit row: 0 sub-unit, 1 base, 2 x1e3, 3 x1e6, 4 x1e9
    int c = 1;
    double scaled = v;
    if (a < 1) {
        if (t >= 2) {
            tier = 0;
            scaled = v * 1000;
            c = a < 0.01 ? 1 : (a < 0.1 ? 2 : 3);
        }
    } else if (a < 1e3) {
        c = decadeDigits(a, 1);
    } else if (a < 1e6) {
        tier = 2;
        scaled = v * 0.001;
        c = decadeDigits(a, 1e3);
    } else if (a < 1e9) {
        tier = 3;
        scaled = v * 1e-6;
        c = decadeDigits(a, 1e6);
    } else {
        tier = 4;
        scaled = v * 1e-9;
        c = a < 1e10 ? 1 : (a < 1e11 ? 2 : 3);
    }

    int d;
    if (b <= 0) {
        d = -b - c;
    } else if (a >= 1 && a < 1e3 && t != 1) {
        d = 4 - b;
    } else if (a < 1 && t != 1) {
        d = (t != 0) ? 1 - b : 4 - b;
    } else if (a >= 1e6 && a < 1e9) {
        d = 10 - b;
    } else if (a >= 1e9 && a < 1e12) {
        d = 13 - b;
    } else if (a >= 1e12) {
        d = 16 - b;
    } else {
        d = 7 - b;
    }
    if (d < 0) d = 0;

    std::string text = formatFixed(scaled, d, decimalSeparator);
    const auto sep = text.find(decimalSeparator);
    if (sep != std::string::npos && text.size() - sep - 1 > 5)
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(sep) + 4, ' ');
    return text + " " + kUnits[ti][tier];
}

} // namespace kx::core
