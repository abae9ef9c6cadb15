// SPDX-License-Identifier: GPL-3.0-or-later
#include "Comparator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kx::sim {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Longest single jump, so the arithmetic on instants stays far from overflow.
constexpr double kMaxJumpClocks = 1e13;
// Where a scan at t may go on when the input needs `reach` clocks to change the output.
Picoseconds jump(Picoseconds t, Picoseconds step, double reach) {
    const double clocks = std::floor(reach) - 1.0;
    if (clocks < 2.0) return step;
    return t + static_cast<Picoseconds>(std::min(clocks, kMaxJumpClocks)) * kClockPs;
}

} // namespace

Picoseconds ceilClock(Picoseconds t) {
    Picoseconds q = t / kClockPs;
    if (q * kClockPs < t) ++q;
    return q * kClockPs;
}

void EdgeScanner::start(const ComparatorInput& input, Picoseconds t) {
    m_in = input;
    m_t = ceilClock(t);
    m_state = -1;
}

bool ComparatorInput::high(Picoseconds t) const {
    if (analog == nullptr) return logic != nullptr && logic->volts(t) > thresholdVolts;
    return std::round(std::clamp(analog->idealCode(t), 0.0, 255.0)) > 0.5 * (lower + upper);
}

int EdgeScanner::level(Picoseconds t, double& code) const {
    if (m_in.analog == nullptr) {
        code = m_in.logic->volts(t);
        return code > m_in.thresholdVolts ? kHigh : kLow;
    }
    code = m_in.analog->idealCode(t);
    const double v = std::round(std::clamp(code, 0.0, 255.0));
    if (m_in.falling) {
        if (v >= m_in.upper) return kHigh;
        if (v < m_in.lower) return kLow;
    } else {
        if (v > m_in.upper) return kHigh;
        if (v <= m_in.lower) return kLow;
    }
    return kBetween;
}

Picoseconds EdgeScanner::following(Picoseconds t, double code) const {
    const Signal* signal = m_in.signal();
    const Picoseconds step = t + kClockPs;
    const Picoseconds stable = signal->stableUntil(t);
    if (stable > step) return std::max(step, ceilClock(std::min(stable, kForever)));
    if (m_in.analog == nullptr) {
        // A logic input on a signal of bounded slope (the generator's sine): volts to its threshold.
        const double slope = signal->maxSlope();
        if (!std::isfinite(slope) || slope <= 0.0) return step;
        return jump(t, step,
                    std::abs(code - m_in.thresholdVolts) / (slope * static_cast<double>(kClockPs) * 1e-12));
    }
    const double slope = signal->maxSlope() * m_in.analog->codesPerVolt();
    if (!std::isfinite(slope) || slope <= 0.0) return step;
    // Distance, in codes, to the nearest reading that would change the state; the rounding of the
    // reading moves each threshold by half a code. A window comparator changes at either threshold.
    double distance = kInfinity;
    if (m_in.window || m_state != kHigh) {
        const double high = m_in.falling ? m_in.upper - 0.5 : m_in.upper + 0.5;
        if (high <= 255.0) distance = std::min(distance, std::abs(high - code));
    }
    if (m_in.window || m_state != kLow) {
        const double low = m_in.falling ? m_in.lower - 0.5 : m_in.lower + 0.5;
        if (low >= 0.0) distance = std::min(distance, std::abs(code - low));
    }
    if (!std::isfinite(distance)) return kForever;
    return jump(t, step, distance / (slope * static_cast<double>(kClockPs) * 1e-12));
}

EdgeScanner::Step EdgeScanner::next(Picoseconds limit, Edge& edge, long& budget) {
    if (m_in.signal() == nullptr) {
        m_t = std::max(m_t, limit);
        return Step::Limit;
    }
    while (m_t < limit) {
        if (budget <= 0) return Step::Budget;
        --budget;
        double code = 0.0;
        const Picoseconds at = m_t;
        int s = level(at, code);
        // Between the thresholds a two-state output holds what it was.
        if (s == kBetween && !m_in.window) s = m_state;
        const bool change = s >= 0 && s != m_state;
        const bool first = m_state < 0;
        const bool rising = s > m_state;
        if (change) m_state = s;
        m_t = following(at, code);
        if (change) {
            edge.t = at;
            edge.rising = first ? s == kHigh : rising;
            edge.first = first;
            edge.zone = s;
            return Step::Edge;
        }
    }
    return Step::Limit;
}

} // namespace kx::sim
