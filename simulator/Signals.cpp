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

} // namespace kx::sim
