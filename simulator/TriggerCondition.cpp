// SPDX-License-Identifier: GPL-3.0-or-later
#include "TriggerCondition.h"

namespace kx::sim {

TriggerCondition TriggerCondition::decode(const RegisterFile& r) {
    TriggerCondition c;
    const unsigned mode = r[reg::kChannelFlags];
    const unsigned extra = r[reg::kConditionFlags];
    const bool periodClass = (mode & 0x20) != 0;
    const bool slopeClass = (mode & 0x40) != 0;
    if (!periodClass && !slopeClass && (extra & 0x70) == 0) {
        c.measure = Measure::PulseWidth;
    } else if (periodClass && !slopeClass && (extra & 0x10) == 0) {
        c.measure = Measure::Period;
    } else {
        c.measure = Measure::None;
    }
    c.timed = (mode & 0x08) != 0 && c.measure != Measure::None;
    c.inside = (mode & 0x10) != 0;
    c.lower = regU32(r, reg::kConditionTime);
    c.upper = regU32(r, reg::kConditionTimeUpper);
    return c;
}

bool TriggerCondition::accepts(bool known, std::uint64_t clocks) const {
    if (!timed) return true;
    if (inside) return known && clocks >= lower && clocks < upper;
    // A pulse that began before anything was seen is at least as long as what was seen of it.
    return known ? (clocks < lower || clocks >= upper) : clocks >= upper;
}

void ConditionTracker::begin(const TriggerCondition& condition, bool falling) {
    m_condition = condition;
    m_falling = falling;
    m_knownSince.reset();
    m_lastSame.reset();
    m_lastOpposite.reset();
    m_measured.reset();
}

bool ConditionTracker::feed(const Edge& edge) {
    if (edge.first) {
        m_knownSince = edge.t;
        return false;
    }
    if (edge.rising == m_falling) {
        m_lastOpposite = edge.t;
        return false;
    }
    const std::optional<Picoseconds> from =
        m_condition.measure == TriggerCondition::Measure::Period ? m_lastSame : m_lastOpposite;
    m_lastSame = edge.t;
    m_measured.reset();
    if (m_condition.measure == TriggerCondition::Measure::None) return true;
    if (from) {
        m_measured = static_cast<std::uint64_t>((edge.t - *from) / kClockPs);
        return m_condition.accepts(true, *m_measured);
    }
    const Picoseconds seen = m_knownSince ? edge.t - *m_knownSince : 0;
    return m_condition.accepts(false, static_cast<std::uint64_t>(seen / kClockPs));
}

} // namespace kx::sim
