// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/ComplexDivide.h"

#include <cmath>
#include <limits>

namespace kx::analyzers {

std::complex<double> smithDivide(std::complex<double> a, std::complex<double> b) {
    const double c = b.real(), d = b.imag();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    if (!std::isfinite(c) || !std::isfinite(d) || (c == 0 && d == 0)) return {nan, nan};
    if (std::fabs(c) >= std::fabs(d)) {
        const double r = d / c, den = c + d * r;
        return {(a.real() + a.imag() * r) / den, (a.imag() - a.real() * r) / den};
    }
    const double r = c / d, den = c * r + d;
    return {(a.real() * r + a.imag()) / den, (a.imag() * r - a.real()) / den};
}

} // namespace kx::analyzers
