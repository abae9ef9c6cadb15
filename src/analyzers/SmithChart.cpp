// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SmithChart.h"

#include "core/NumberFormat.h"
#include "core/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kx::analyzers {

SmithFrame smithFrame(int left, int top, int width, int height) {
    // A few pixels inside the plot frame, so the outer circle stays visible.
    return {left + width / 2.0, top + height / 2.0, std::max(1.0, std::min(width, height) / 2.0 - 4)};
}

std::complex<double> smithReflection(std::complex<double> z, double zo) {
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag()) || std::abs(z) > 1e12) return {1, 0};
    const std::complex<double> d = z + zo;
    if (std::abs(d) == 0) return {-1, 0};
    return (z - zo) / d;
}

SmithPoint smithPoint(const SmithFrame& f, std::complex<double> reflection) {
    return {f.cx + f.radius * reflection.real(), f.cy - f.radius * reflection.imag()};
}

SmithCircle smithResistanceCircle(double r) {
    return {{r / (1 + r), 0}, 1 / (1 + r)};
}

SmithCircle smithReactanceCircle(double x) {
    return {{1, 1 / x}, 1 / std::abs(x)};
}

int smithCursorIndex(int cursorX, int n, int zoom) {
    if (n <= 0) return 0;
    const double k = std::clamp(cursorX, 0, 5000) * 0.0002 * n / std::max(zoom, 1);
    return std::clamp(static_cast<int>(core::roundHalfAway(k)), 0, n - 1);
}

namespace {

std::string threeDigits(double v, char dec) {
    const double a = std::abs(v);
    return core::formatFixed(v, a >= 100 ? 0 : a >= 10 ? 1 : 2, dec);
}

} // namespace

std::string smithImpedanceText(std::complex<double> z, char dec) {
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return "Z = ...";
    return "Z = " + threeDigits(z.real(), dec) + (z.imag() < 0 ? " - j" : " + j") +
           threeDigits(std::abs(z.imag()), dec) + " Ohm";
}

} // namespace kx::analyzers
