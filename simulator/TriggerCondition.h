// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Comparator.h"
#include "Memory.h"

#include <cstdint>
#include <optional>

namespace kx::sim {

// The additional trigger condition the registers select, as far as this instrument follows it:
// the width of the pulse, or the period, that ends at an edge of the trigger polarity, measured
// in clocks, and optionally required to lie inside or outside the time limits.
struct TriggerCondition {
    enum class Measure { PulseWidth, Period, None };

    Measure measure = Measure::PulseWidth;
    bool timed = false;
    bool inside = true;
    std::uint32_t lower = 0; // clocks
    std::uint32_t upper = 0;

    // Runt, slew, pulse counts and video lines are not followed: they decode as Measure::None and
    // trigger on the plain edge.
    static TriggerCondition decode(const RegisterFile& r);
    // Whether an interval qualifies: measured exactly (known), or known only to be at least clocks.
    bool accepts(bool known, std::uint64_t clocks) const;
};

// Follows the comparator of the trigger source and tells which changes are trigger events.
class ConditionTracker {
public:
    void begin(const TriggerCondition& condition, bool falling);
    // True when the edge is a trigger event.
    bool feed(const Edge& edge);
    // The interval ending at the last edge of the trigger polarity, in clocks; nullopt when the
    // edge before it was not seen or nothing is measured.
    std::optional<std::uint64_t> measured() const { return m_measured; }

private:
    TriggerCondition m_condition;
    bool m_falling = false;
    std::optional<Picoseconds> m_knownSince;
    std::optional<Picoseconds> m_lastSame;
    std::optional<Picoseconds> m_lastOpposite;
    std::optional<std::uint64_t> m_measured;
};

} // namespace kx::sim
