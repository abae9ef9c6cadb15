// SPDX-License-Identifier: GPL-3.0-or-later
#include "TriggerCondition.h"

#include <algorithm>

namespace kx::sim {

namespace {
// A field and a little more: enough to see a field sync and lock the line count.
constexpr Picoseconds kVideoLookbackPs = 22'000'000'000;
} // namespace

bool LevelGate::open(Picoseconds t) const {
    if (mask == 0) return true;
    for (std::size_t ch = 0; ch < inputs.size(); ++ch) {
        if (!(mask & (1u << ch))) continue;
        if (inputs[ch].high(t) != ((levels & (1u << ch)) != 0)) return false;
    }
    return true;
}

TriggerCondition TriggerCondition::decode(const RegisterFile& r, bool analogSource) {
    TriggerCondition c;
    const unsigned mode = r[reg::kChannelFlags];
    const unsigned extra = r[reg::kConditionFlags];
    const bool periodClass = (mode & 0x20) != 0;
    const bool slopeClass = (mode & 0x40) != 0;
    if (extra & 0x10) {
        c.measure = Measure::VideoLine;
    } else if (extra & 0x40) {
        c.measure = Measure::LevelCount;
    } else if (extra & 0x20) {
        c.measure = Measure::PulseCount;
    } else if (periodClass && slopeClass) {
        c.measure = (extra & 0x03) == 0 ? Measure::None : Measure::Runt;
    } else if (slopeClass) {
        c.measure = Measure::Slew;
    } else if (periodClass) {
        c.measure = Measure::Period;
    }
    // A logic input has one threshold: no runt can be told from an edge, and no edge takes time.
    if (!analogSource && (c.measure == Measure::Runt || c.measure == Measure::Slew))
        c.measure = Measure::NotApplicable;
    const bool timeable = c.measure != Measure::None && c.measure != Measure::NotApplicable &&
                          c.measure != Measure::LevelCount && c.measure != Measure::VideoLine;
    c.timed = (mode & 0x08) != 0 && timeable;
    c.inside = (mode & 0x10) != 0;
    c.lower = regU32(r, reg::kConditionTime);
    c.upper = regU32(r, reg::kConditionTimeUpper);
    c.count = std::max<std::uint32_t>(1, regU16(r, reg::kConditionCount));
    c.gate.mask = r[reg::kLevelMask] & 0x3Fu;
    c.gate.levels = r[reg::kLevelPolarity] & 0x3Fu;
    return c;
}

bool TriggerCondition::accepts(bool known, std::uint64_t clocks) const {
    if (!timed) return true;
    if (inside) return known && clocks >= lower && clocks < upper;
    // A pulse that began before anything was seen is at least as long as what was seen of it.
    return known ? (clocks < lower || clocks >= upper) : clocks >= upper;
}

bool TriggerCondition::plainEdge() const {
    switch (measure) {
    case Measure::PulseWidth:
    case Measure::Period:
    case Measure::Slew:
        return !timed;
    case Measure::NotApplicable:
    case Measure::None:
        return true;
    default:
        return false;
    }
}

Picoseconds TriggerCondition::lookbackPs() const {
    if (measure == Measure::VideoLine) return kVideoLookbackPs;
    return timed ? (static_cast<Picoseconds>(upper) + 2) * kClockPs : 0;
}

void ConditionTracker::begin(const TriggerCondition& condition, bool falling) {
    m_condition = condition;
    m_falling = falling;
    m_zone = -1;
    m_knownSince.reset();
    m_lastSame.reset();
    m_lastOpposite.reset();
    m_leftRest.reset();
    m_measured.reset();
    m_pulses = 0;
    m_gap.reset();
    m_gateArmed = false;
    m_eventCount = 0;
    m_status = 0;
    m_video.begin(condition.count);
}

bool ConditionTracker::feed(const Edge& edge) {
    const int zone = m_zone;
    m_zone = edge.zone;
    if (edge.first) {
        m_knownSince = edge.t;
        return false;
    }
    switch (m_condition.measure) {
    case TriggerCondition::Measure::Runt:
        return feedRunt(edge, zone);
    case TriggerCondition::Measure::Slew:
        return feedSlew(edge, zone);
    case TriggerCondition::Measure::VideoLine:
        // The edge of the trigger polarity starts a sync pulse.
        if (!m_video.feed(edge.t, edge.rising != m_falling)) return false;
        m_measured = m_video.linePeriodClocks();
        m_eventCount = m_video.line();
        return true;
    default:
        break;
    }
    if (edge.rising == m_falling) {
        m_lastOpposite = edge.t;
        if (m_condition.measure == TriggerCondition::Measure::LevelCount && !m_condition.gate.open(edge.t)) {
            m_gateArmed = true;
            m_pulses = 0;
        }
        return false;
    }
    const std::optional<Picoseconds> from =
        m_condition.measure == TriggerCondition::Measure::Period ? m_lastSame : m_lastOpposite;
    m_lastSame = edge.t;
    if (m_condition.measure == TriggerCondition::Measure::PulseCount ||
        m_condition.measure == TriggerCondition::Measure::LevelCount)
        return feedCount(edge, from);
    m_measured.reset();
    if (m_condition.measure == TriggerCondition::Measure::None) return true;
    if (m_condition.measure == TriggerCondition::Measure::NotApplicable) {
        m_measured = 0;
        return true;
    }
    if (from) {
        m_measured = static_cast<std::uint64_t>((edge.t - *from) / kClockPs);
        return m_condition.accepts(true, *m_measured);
    }
    const Picoseconds seen = m_knownSince ? edge.t - *m_knownSince : 0;
    return m_condition.accepts(false, static_cast<std::uint64_t>(seen / kClockPs));
}

bool ConditionTracker::feedRunt(const Edge& edge, int from) {
    // A positive runt leaves the low side and comes back without reaching the high one; a
    // negative runt the other way round. It ends where it crosses back.
    const int rest = m_falling ? kHigh : kLow;
    if (edge.zone == kBetween) {
        if (from == rest) m_leftRest = edge.t;
        return false;
    }
    const std::optional<Picoseconds> start =
        edge.zone == rest && from == kBetween ? m_leftRest : std::nullopt;
    m_leftRest.reset();
    if (!start) return false;
    const auto width = static_cast<std::uint64_t>((edge.t - *start) / kClockPs);
    if (!m_condition.accepts(true, width)) return false;
    m_measured = width;
    m_status = m_falling ? 0x02 : 0x01;
    return true;
}

bool ConditionTracker::feedSlew(const Edge& edge, int from) {
    // The edge runs from the resting side to the far one; its time is spent between the thresholds.
    const int rest = m_falling ? kHigh : kLow;
    const int far = m_falling ? kLow : kHigh;
    if (edge.zone == kBetween) {
        if (from == rest) {
            m_leftRest = edge.t;
        } else {
            m_leftRest.reset();
        }
        return false;
    }
    std::optional<Picoseconds> start;
    if (edge.zone == far) start = from == rest ? edge.t : m_leftRest;
    m_leftRest.reset();
    if (!start) return false;
    const auto time = static_cast<std::uint64_t>((edge.t - *start) / kClockPs);
    m_measured = time;
    return m_condition.accepts(true, time);
}

bool ConditionTracker::feedCount(const Edge& edge, std::optional<Picoseconds> from) {
    if (m_condition.measure == TriggerCondition::Measure::PulseCount) {
        // A gap of the idle level that meets the time condition starts the count afresh.
        const Picoseconds seen = from ? edge.t - *from : (m_knownSince ? edge.t - *m_knownSince : 0);
        const auto clocks = static_cast<std::uint64_t>(seen / kClockPs);
        if (m_condition.accepts(from.has_value(), clocks)) {
            m_pulses = 1;
            m_gap = from ? std::optional<std::uint64_t>(clocks) : std::nullopt;
        } else if (m_pulses > 0 && m_pulses <= m_condition.count) {
            ++m_pulses;
        }
        if (m_pulses != m_condition.count) return false;
        m_measured = m_gap;
    } else {
        // En false stops the count; the pulses after it comes true again are counted.
        if (!m_condition.gate.open(edge.t)) {
            m_gateArmed = true;
            m_pulses = 0;
            return false;
        }
        if (!m_gateArmed || ++m_pulses != m_condition.count) return false;
        m_measured =
            from ? std::optional<std::uint64_t>(static_cast<std::uint64_t>((edge.t - *from) / kClockPs))
                 : std::nullopt;
    }
    m_eventCount = m_pulses;
    m_status = 0x20;
    return true;
}

} // namespace kx::sim
