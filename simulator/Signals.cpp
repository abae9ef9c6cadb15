// SPDX-License-Identifier: GPL-3.0-or-later
#include "Signals.h"

#include <algorithm>
#include <cmath>

namespace kx::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLogicHigh = 3.3;

Picoseconds wrap(Picoseconds t, Picoseconds period) {
    const Picoseconds r = t % period;
    return r < 0 ? r + period : r;
}

// Step response of the probe path: about 8 ns rise, 50 MHz ring with 8 % overshoot. The first
// peak, half a ring period after the edge, overshoots by exp(-alpha pi / omega): alpha is set from
// -ln 0.08 = 2.5257.
double stepResponse(double seconds) {
    if (seconds <= 0.0) return 0.0;
    constexpr double kOmega = 2.0 * kPi * 50e6;
    constexpr double kMinusLnOvershoot = 2.5257286443082556;
    constexpr double kAlpha = kOmega * kMinusLnOvershoot / kPi;
    return 1.0 - std::exp(-kAlpha * seconds) *
                     (std::cos(kOmega * seconds) + kAlpha / kOmega * std::sin(kOmega * seconds));
}

} // namespace

double Calibrator::volts(Picoseconds t) const {
    constexpr Picoseconds kPeriod = kPsPerSecond / 1000;
    const Picoseconds p = wrap(t, kPeriod);
    const double sinceEdge = static_cast<double>(p % (kPeriod / 2)) * 1e-12;
    const double s = stepResponse(sinceEdge);
    return p < kPeriod / 2 ? 2.0 * s : 2.0 * (1.0 - s);
}

double Clock::volts(Picoseconds t) const {
    return wrap(t, m_period) < m_high ? kLogicHigh : 0.0;
}

UartText::UartText(const char* text, int baud, int idleBits) : m_text(text), m_baud(baud) {
    m_length = 0;
    while (text[m_length] != '\0') ++m_length;
    m_bitsPerLoop = m_length * 10 + idleBits;
}

double UartText::periodPs() const {
    return static_cast<double>(m_bitsPerLoop) * static_cast<double>(kPsPerSecond) / m_baud;
}

double UartText::volts(Picoseconds t) const {
    if (t < 0) t = 0;
    const auto bit =
        static_cast<std::int64_t>((static_cast<__int128>(t) * m_baud) / kPsPerSecond) % m_bitsPerLoop;
    const std::int64_t ch = bit / 10;
    if (ch >= m_length) return kLogicHigh; // idle gap
    const int pos = static_cast<int>(bit % 10);
    if (pos == 0) return 0.0;        // start bit
    if (pos == 9) return kLogicHigh; // stop bit
    const auto c = static_cast<unsigned char>(m_text[ch]);
    return ((c >> (pos - 1)) & 1) ? kLogicHigh : 0.0;
}

} // namespace kx::sim

namespace kx::sim {

namespace {
// After an edge the ring has died away well within this time.
constexpr Picoseconds kRingSettlePs = 400'000;

Picoseconds nextMultiple(Picoseconds t, Picoseconds period, Picoseconds offset) {
    // Smallest offset + k * period strictly after t.
    Picoseconds k = (t - offset) / period;
    Picoseconds e = offset + k * period;
    while (e <= t) e += period;
    while (e - period > t) e -= period;
    return e;
}
} // namespace

Picoseconds Calibrator::stableUntil(Picoseconds t) const {
    constexpr Picoseconds kHalf = kPsPerSecond / 2000;
    const Picoseconds p = wrap(t, kHalf);
    if (p < kRingSettlePs) return t;
    return t - p + kHalf;
}

Picoseconds Clock::stableUntil(Picoseconds t) const {
    const Picoseconds rise = nextMultiple(t, m_period, 0);
    const Picoseconds fall = nextMultiple(t, m_period, m_high);
    return std::min(rise, fall);
}

Picoseconds UartText::stableUntil(Picoseconds t) const {
    if (t < 0) return 0;
    const auto bit = static_cast<std::int64_t>((static_cast<__int128>(t) * m_baud) / kPsPerSecond);
    // Start of the next bit, rounded down so it never lies beyond the true boundary.
    return static_cast<Picoseconds>((static_cast<__int128>(bit + 1) * kPsPerSecond) / m_baud);
}

} // namespace kx::sim
