// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseTrain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kx::sim {

void PulseTrain::set(const Shape& shape) {
    m_s = shape;
    m_s.period = std::max<Picoseconds>(2, m_s.period);
    m_s.pulses = std::max(1, m_s.pulses);
    m_s.gap = std::max<Picoseconds>(0, m_s.gap);
    m_half = m_s.period / 2;
    for (Picoseconds& e : m_s.edge) e = std::clamp<Picoseconds>(e, 0, m_half);
    m_group = m_s.period * m_s.pulses + m_s.gap;
    // A trapezoid's area is its amplitude times the time from the start of one edge to the other.
    double area = 0.0;
    for (int k = 0; k < m_s.pulses; ++k) area += amplitude(k) * static_cast<double>(m_half);
    m_mean = area / static_cast<double>(m_group);
    const double top = std::max(std::abs(m_s.volts), std::abs(m_s.runtVolts));
    const Picoseconds fastest = m_s.pulses > 1 ? std::min(m_s.edge[0], m_s.edge[1]) : m_s.edge[0];
    m_maxSlope = fastest > 0 ? top / (static_cast<double>(fastest) * 1e-12) * 1.01
                             : std::numeric_limits<double>::infinity();
}

double PulseTrain::amplitude(Picoseconds pulse) const {
    const bool runt = m_s.runtEvery > 0 && pulse % m_s.runtEvery == m_s.runtEvery - 1;
    return runt ? m_s.runtVolts : m_s.volts;
}

double PulseTrain::volts(Picoseconds t) const {
    Picoseconds tau = t % m_group;
    if (tau < 0) tau += m_group;
    const Picoseconds pulse = tau / m_s.period;
    if (pulse >= m_s.pulses) return 0.0;
    const Picoseconds x = tau - pulse * m_s.period;
    const double a = amplitude(pulse);
    const Picoseconds e = m_s.edge[pulse & 1];
    if (x < e) return a * static_cast<double>(x) / static_cast<double>(e);
    if (x < m_half) return a;
    if (x < m_half + e) return a * (1.0 - static_cast<double>(x - m_half) / static_cast<double>(e));
    return 0.0;
}

Picoseconds PulseTrain::stableUntil(Picoseconds t) const {
    Picoseconds tau = t % m_group;
    if (tau < 0) tau += m_group;
    const Picoseconds start = t - tau;
    const Picoseconds pulse = tau / m_s.period;
    if (pulse >= m_s.pulses) return start + m_group;
    const Picoseconds x = tau - pulse * m_s.period;
    const Picoseconds e = m_s.edge[pulse & 1];
    const Picoseconds at = start + pulse * m_s.period;
    if (x < e || (x >= m_half && x < m_half + e)) return t; // on an edge
    if (x < m_half) return at + m_half;
    // Low until the next pulse, or through the gap to the next group.
    return pulse + 1 < m_s.pulses ? at + m_s.period : start + m_group;
}

} // namespace kx::sim
