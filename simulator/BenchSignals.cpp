// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSignals.h"

#include "Settings.h"

#include <array>
#include <cmath>
#include <numbers>

namespace kx::sim {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kMaxHz = 1e10;
constexpr double kMaxVolts = 1000;

// Splits "a:b:c" into at most N fields; count = how many there were (N + 1 when too many).
template <std::size_t N> std::array<std::string_view, N> fields(std::string_view text, std::size_t& count) {
    std::array<std::string_view, N> out{};
    count = 0;
    while (true) {
        const auto colon = text.find(':');
        if (count < N) out[count] = text.substr(0, colon);
        ++count;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    return out;
}

// Cycles of `hz` since time 0, as a fraction in [0, 1); exact enough for hours of run time.
double phase(double hz, Picoseconds t) {
    const double cycles = hz * static_cast<double>(t) * 1e-12;
    return cycles - std::floor(cycles);
}

} // namespace

std::optional<Waveform> Waveform::parse(std::string_view text) {
    std::size_t n = 0;
    const auto f = fields<6>(text, n);
    Waveform w;
    if (f[0] == "sine" && (n == 3 || n == 4 || n == 6)) {
        w.m_kind = Kind::Sine;
    } else if (f[0] == "square" && (n == 3 || n == 4)) {
        w.m_kind = Kind::Square;
    } else if (f[0] == "sum" && n == 5) {
        w.m_kind = Kind::Sum;
    } else {
        return std::nullopt;
    }
    std::array<double, 5> v{};
    for (std::size_t i = 1; i < n; ++i) {
        const auto x = parseReal(f[i]);
        if (!x || !std::isfinite(*x)) return std::nullopt;
        v[i - 1] = *x;
    }
    auto frequencyOk = [](double hz) { return hz > 0 && hz <= kMaxHz; };
    auto levelOk = [](double vpp) { return vpp >= 0 && vpp <= kMaxVolts; };
    if (!frequencyOk(v[0]) || !levelOk(v[1])) return std::nullopt;
    w.m_hz[0] = v[0];
    w.m_amplitude[0] = v[1] / 2;
    if (w.m_kind == Kind::Sum) {
        if (!frequencyOk(v[2]) || !levelOk(v[3])) return std::nullopt;
        w.m_hz[1] = v[2];
        w.m_amplitude[1] = v[3] / 2;
        return w;
    }
    if (n >= 4) {
        if (std::fabs(v[2]) > kMaxVolts) return std::nullopt;
        w.m_offset = v[2];
    }
    if (n == 6) {
        // Harmonic levels in dB below the fundamental: positive numbers, or 0 for equal.
        if (v[3] < 0 || v[4] < 0) return std::nullopt;
        w.m_h2 = std::pow(10.0, -v[3] / 20);
        w.m_h3 = std::pow(10.0, -v[4] / 20);
    }
    return w;
}

double Waveform::volts(Picoseconds t) const {
    switch (m_kind) {
    case Kind::Square:
        return m_offset + (phase(m_hz[0], t) < 0.5 ? m_amplitude[0] : -m_amplitude[0]);
    case Kind::Sum:
        return m_amplitude[0] * std::sin(kTwoPi * phase(m_hz[0], t)) +
               m_amplitude[1] * std::sin(kTwoPi * phase(m_hz[1], t));
    default: {
        double v = std::sin(kTwoPi * phase(m_hz[0], t));
        if (m_h2 != 0) v += m_h2 * std::sin(kTwoPi * phase(2 * m_hz[0], t));
        if (m_h3 != 0) v += m_h3 * std::sin(kTwoPi * phase(3 * m_hz[0], t));
        return m_offset + m_amplitude[0] * v;
    }
    }
}

double Waveform::periodPs() const {
    // Two sines repeat only at a common period: left to scanning.
    return m_kind == Kind::Sum ? 0.0 : 1e12 / m_hz[0];
}

Picoseconds Waveform::stableUntil(Picoseconds t) const {
    if (m_kind != Kind::Square) return t;
    // Until the next edge, half a period apart.
    const double half = 0.5e12 / m_hz[0];
    const double at = static_cast<double>(t);
    const double next = (std::floor(at / half) + 1) * half;
    const auto edge = static_cast<Picoseconds>(std::ceil(next));
    return edge > t ? edge : t;
}

double Waveform::maxSlope() const {
    if (m_kind == Kind::Square) return Signal::maxSlope();
    if (m_kind == Kind::Sum) return kTwoPi * (m_hz[0] * m_amplitude[0] + m_hz[1] * m_amplitude[1]);
    return kTwoPi * m_hz[0] * m_amplitude[0] * (1 + 2 * m_h2 + 3 * m_h3);
}

} // namespace kx::sim
