// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Comparator.h"
#include "TriggerCondition.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kx::sim {

// Hardware frequency counter result as the status packet carries it.
struct CounterReading {
    std::uint8_t state = 0x60; // both counts invalid
    std::uint32_t edges = 0;
    std::uint32_t ticks = 0;
};

// What the counter counts: the rising edges of an input, or the trigger events of the trigger
// path (edges of the trigger polarity that meet the condition in force).
struct CounterSource {
    bool present = false;
    ComparatorInput input;
    TriggerCondition condition; // untimed for a plain input
};

// The counter on the 200 MHz time base of the reference oscillator. Frequency mode: the edges N
// and the time T of a gate of about 100 ms that ends at the latest edge. Period mode: T is the
// latest whole period, N the edges since the counter was started or reset; both saturate at
// 0xFFFFFFFF. Periodic inputs are counted from the edges of one period; others are scanned.
class FrequencyCounter {
public:
    FrequencyCounter();

    void reset();
    // Settings in force from nowNs (register 0xFF30, source and time-base deviation). A new source
    // or mode, or the reset flag, starts the counts afresh; other changes keep them.
    void configure(std::uint8_t reg, const CounterSource& source, double ppm, std::int64_t nowNs);
    CounterReading read(std::int64_t nowNs);

private:
    // Edges of one period of a periodic source, in [origin, origin + period).
    struct Pattern {
        bool periodic = false;
        double period = 0.0;
        std::vector<Picoseconds> events;
    };
    struct LastTwo {
        std::optional<double> last;
        std::optional<double> prev;
    };

    void refresh();
    bool buildPattern(Pattern& p) const;
    void restartScan(Picoseconds from);
    void advance(Picoseconds to);
    Picoseconds warmUp() const;
    // Edges of the present segment up to t, and the last two of them.
    double segmentCount(Picoseconds t) const;
    LastTwo segmentLastTwo(Picoseconds t) const;
    LastTwo lastTwo(Picoseconds t) const;
    void fold(Picoseconds at);
    bool gate(Picoseconds now, double& edges, double& spanPs) const;
    std::uint64_t ticks(double spanPs) const;

    std::uint8_t m_setting = 0;
    bool m_configured = false;
    CounterSource m_source;
    double m_ppm = 0.0;
    bool m_dirty = false;
    bool m_fresh = true;
    Picoseconds m_pendingPs = 0;
    Pattern m_pattern;
    Pattern m_next;

    // The present segment: since the last restart or the last change of the input's behaviour.
    Picoseconds m_segmentStart = 0;
    double m_carried = 0.0;
    LastTwo m_carriedLast;

    // Running scan for inputs that do not repeat.
    EdgeScanner m_scan;
    ConditionTracker m_scanTracker;
    double m_scanCount = 0.0;
    LastTwo m_scanLast;
    bool m_lost = false;
};

} // namespace kx::sim
