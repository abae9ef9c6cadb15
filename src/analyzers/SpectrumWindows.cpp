// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumWindows.h"

#include <array>
#include <cmath>
#include <numbers>

namespace kx::analyzers {
namespace {

// Cosine-sum coefficients a0 - a1 cos p + a2 cos 2p - a3 cos 3p + a4 cos 4p.
using Cosines = std::array<double, 5>;

Cosines cosinesOf(FftWindow window) {
    switch (window) {
    case FftWindow::Hann:
        return {0.5, 0.5, 0, 0, 0};
    case FftWindow::FlatTop:
        return {1, 1.93, 1.29, 0.388, 0.028};
    case FftWindow::Hamming:
        return {0.54, 0.46, 0, 0, 0};
    case FftWindow::Blackman:
        return {0.42, 0.5, 0.08, 0, 0};
    case FftWindow::BlackmanHarris:
        return {0.35875, 0.48829, 0.14128, 0.01168, 0};
    case FftWindow::Nuttall:
        return {0.355768, 0.487396, 0.144232, 0.012604, 0};
    case FftWindow::BlackmanNuttall:
        return {0.3635819, 0.4891775, 0.1365995, 0.0106411, 0};
    default:
        return {1, 0, 0, 0, 0};
    }
}

} // namespace

FftWindow fftWindowFromIndex(int index) {
    if (index < 0 || index >= kFftWindowCount) return FftWindow::Rectangular;
    return static_cast<FftWindow>(index);
}

double fillWindow(FftWindow window, std::span<double> w) {
    const std::size_t size = w.size();
    if (size == 0) return 0;
    if (size == 1) {
        w[0] = 1;
        return 1;
    }
    const double L = static_cast<double>(size - 1);
    double sum = 0;
    if (window == FftWindow::Triangular) {
        for (std::size_t o = 0; o < size; ++o) {
            w[o] = (L / 2 - std::fabs(std::trunc(static_cast<double>(o) - L / 2))) * 2 / L;
            sum += w[o];
        }
        return sum;
    }
    const Cosines c = cosinesOf(window);
    const double step = 2 * std::numbers::pi / L;
    for (std::size_t o = 0; o < size; ++o) {
        const double p = step * static_cast<double>(o);
        double v = c[0];
        if (c[1] != 0) v -= c[1] * std::cos(p);
        if (c[2] != 0) v += c[2] * std::cos(2 * p);
        if (c[3] != 0) v -= c[3] * std::cos(3 * p);
        if (c[4] != 0) v += c[4] * std::cos(4 * p);
        w[o] = v;
        sum += v;
    }
    return sum;
}

double windowNoiseBandwidth(FftWindow window) {
    static constexpr std::array<double, kFftWindowCount> kBandwidth{1,    1.5,  3.77, 1.37, 1.73,
                                                                    2.01, 2.02, 1.98, 1.33};
    const int i = static_cast<int>(window);
    return (i >= 0 && i < kFftWindowCount) ? kBandwidth[static_cast<std::size_t>(i)] : 1.0;
}

} // namespace kx::analyzers
