// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AntennaAnalyzer.h"

#include "analyzers/ComplexDivide.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>

namespace kx::analyzers {
namespace {

constexpr double kUndefined = 1e30;

template <std::size_t N> double pick(const std::array<double, N>& values, int index, int fallback) {
    if (index < 0 || index >= static_cast<int>(N)) index = fallback;
    return values[static_cast<std::size_t>(index)];
}

} // namespace

double antennaZo(int s) {
    return pick(std::array<double, 4>{25, 50, 75, 100}, s, 1);
}
double antennaSwrSpan(int s) {
    return pick(std::array<double, 5>{0.08, 2, 8, 24, 80}, s, 2);
}
double antennaImpedanceRange(int s) {
    return pick(std::array<double, 11>{0.08, 0.24, 0.8, 2.4, 8, 24, 80, 240, 800, 2400, 8000}, s, 6);
}
double antennaQRange(int s) {
    return pick(std::array<double, 3>{80, 240, 800}, s, 0);
}

AntennaQuantities antennaQuantities(std::complex<double> reflection, double zo) {
    AntennaQuantities v;
    v.z = smithDivide(50.0 * (1.0 + reflection), 1.0 - reflection);
    v.rs = v.z.real();
    v.xs = v.z.imag();
    const std::complex<double> g2 = smithDivide(v.z - zo, v.z + zo);
    const double mag = std::abs(g2);
    v.g = std::isnan(mag) ? mag : std::clamp(mag, 0.0001, 0.9999);
    v.swr = (1 + v.g) / (1 - v.g);
    v.returnLossDb = -20 * std::log10(v.g);
    v.xp = v.xs != 0 ? v.xs * (v.rs * v.rs / (v.xs * v.xs) + 1) : kUndefined;
    v.rp = v.rs != 0 ? v.rs * (v.xs * v.xs / (v.rs * v.rs) + 1) : kUndefined;
    v.q = v.rs != 0 ? std::fabs(v.xs / v.rs) : kUndefined;
    v.phase = g2 == std::complex<double>{} ? 0.0 : std::arg(v.z);
    return v;
}

std::int32_t antennaScreenCode(AntennaQuantity what, const AntennaQuantities& v, const AntennaRanges& r) {
    double c = 0;
    const double w = r.impedance;
    switch (what) {
    case AntennaQuantity::Swr:
        c = 65536 / r.swrSpan * (v.swr - 1);
        break;
    case AntennaQuantity::ReturnLoss:
        c = 65536 + 16384 * std::log10(v.g);
        break;
    case AntennaQuantity::Q:
        c = 65536 / r.q * v.q;
        break;
    case AntennaQuantity::Rs:
        c = 65536 / (2 * w) * v.rs + 32768;
        break;
    case AntennaQuantity::Xs:
        c = 65536 / (2 * w) * v.xs + 32768;
        break;
    case AntennaQuantity::Rp:
        c = 65536 / (2 * w) * v.rp + 32768;
        break;
    case AntennaQuantity::Xp:
        c = 65536 / (2 * w) * v.xp + 32768;
        break;
    case AntennaQuantity::Z:
        c = 65536 / w * std::abs(v.z);
        break;
    case AntennaQuantity::Phase:
        c = v.phase * 32768 / std::numbers::pi + 32768;
        break;
    }
    if (std::isnan(c)) return INT_MAX;
    c = std::clamp(c, 0.0, 65536.0);
    return static_cast<std::int32_t>(c + 0.5);
}

OslTerms oslTerms(std::complex<double> o, std::complex<double> s, std::complex<double> l) {
    const std::complex<double> d = l * (o + s) - 2.0 * o * s;
    return {smithDivide(l * (o - s), d), smithDivide(2.0 * l - o - s, d), smithDivide(o - s, d)};
}

AntennaTermTable buildAntennaTerms(std::span<const std::complex<double>> open,
                                   std::span<const std::complex<double>> shortLoad,
                                   std::span<const std::complex<double>> load, std::int32_t startHz,
                                   std::int32_t spanHz) {
    AntennaTermTable t;
    const std::size_t n = std::min(
        {open.size(), shortLoad.size(), load.size(), static_cast<std::size_t>(kMaxCalibrationPoints)});
    t.count = static_cast<int>(n);
    t.startHz = startHz;
    t.spanHz = spanHz;
    t.e1.resize(n);
    t.e2.resize(n);
    t.e3.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const OslTerms e = oslTerms(open[i], shortLoad[i], load[i]);
        t.e1[i] = e.e1;
        t.e2[i] = e.e2;
        t.e3[i] = e.e3;
    }
    return t;
}

} // namespace kx::analyzers
