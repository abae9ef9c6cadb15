// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Comparator.h"
#include "Memory.h"
#include "VideoSync.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kx::sim {

// The levels a pulse count waits for (En): every masked input at its required level.
struct LevelGate {
    std::array<ComparatorInput, 6> inputs{}; // A1, A2, D1..D4
    unsigned mask = 0;                       // the trigger source never takes part
    unsigned levels = 0;

    bool open(Picoseconds t) const;
};

// The additional trigger condition the registers select: what the trigger logic measures at the
// edges of the trigger source, which edges it lets through, and, optionally, whether the measured
// time has to lie inside or outside the time limits (in clocks).
struct TriggerCondition {
    enum class Measure {
        PulseWidth,    // the pulse of the other level that the trigger edge ends
        Period,        // since the previous edge of the trigger polarity
        Runt,          // a pulse that crosses the first threshold and returns without the second
        Slew,          // the time from one threshold to the other
        PulseCount,    // the N-th pulse after a gap (the pulse width before it) meeting the limits
        LevelCount,    // the N-th pulse since the level condition En came true
        VideoLine,     // the sync pulse that starts line N
        NotApplicable, // runt or slew on a logic input: the plain edge, with a time of 0
        None,          // runt class without its condition bits: the plain edge, nothing measured
    };

    Measure measure = Measure::PulseWidth;
    bool timed = false;
    bool inside = true;
    std::uint32_t lower = 0; // clocks
    std::uint32_t upper = 0;
    std::uint32_t count = 1; // pulse number or video line
    LevelGate gate;          // the inputs are filled in by whoever owns them

    static TriggerCondition decode(const RegisterFile& r, bool analogSource);
    // Whether an interval qualifies: measured exactly (known), or known only to be at least clocks.
    bool accepts(bool known, std::uint64_t clocks) const;
    // Every edge of the trigger polarity is an event: the plain edge search serves it.
    bool plainEdge() const;
    // Runt and slew watch both thresholds.
    bool window() const { return measure == Measure::Runt || measure == Measure::Slew; }
    // How long the input has to be followed before an event can be recognised.
    Picoseconds lookbackPs() const;
};

// Follows the comparator of the trigger source and tells which changes are trigger events.
class ConditionTracker {
public:
    void begin(const TriggerCondition& condition, bool falling);
    // True when the edge is a trigger event.
    bool feed(const Edge& edge);
    // The time of the last event in clocks (see Measure); nullopt when the edge that opens it was
    // not seen or nothing is measured.
    std::optional<std::uint64_t> measured() const { return m_measured; }
    // Pulse number or video line of the last event.
    std::uint32_t count() const { return m_eventCount; }
    // Condition status of the last event: 0x01 positive runt, 0x02 negative runt, 0x20 count reached.
    std::uint8_t status() const { return m_status; }
    VideoStandard standard() const { return m_video.standard(); }

private:
    bool feedRunt(const Edge& edge, int from);
    bool feedSlew(const Edge& edge, int from);
    bool feedCount(const Edge& edge, std::optional<Picoseconds> from);

    TriggerCondition m_condition;
    bool m_falling = false;
    int m_zone = -1;
    std::optional<Picoseconds> m_knownSince;
    std::optional<Picoseconds> m_lastSame;
    std::optional<Picoseconds> m_lastOpposite;
    std::optional<Picoseconds> m_leftRest; // runt and slew: when the input left its resting side
    std::optional<std::uint64_t> m_measured;
    // Pulse counts: pulses so far (0: not counting), the gap that opened them, En seen false.
    std::uint32_t m_pulses = 0;
    std::optional<std::uint64_t> m_gap;
    bool m_gateArmed = false;
    std::uint32_t m_eventCount = 0;
    std::uint8_t m_status = 0;
    VideoSync m_video;
};

} // namespace kx::sim
