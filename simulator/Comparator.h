// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FrontEnd.h"
#include "Signals.h"

namespace kx::sim {

// The 200 MHz clock that the trigger logic and the frequency counter run on.
constexpr Picoseconds kClockPs = 5000;

// First clock instant at or after t.
Picoseconds ceilClock(Picoseconds t);

// What one comparator of the FPGA looks at: an analog channel's 8-bit codes against the lower and
// upper thresholds of its trigger level, or a logic input against its threshold voltage.
struct ComparatorInput {
    const FrontEnd* analog = nullptr;
    const Signal* logic = nullptr;
    double thresholdVolts = 1.65;
    int lower = 0;
    int upper = 255;
    // Which side takes the threshold itself, as the edge trigger does: rising edges arm at or
    // below the lower threshold, falling edges at or above the upper one.
    bool falling = false;
    // Window comparator: every crossing of either threshold is a change (runt and slew look at
    // the input this way); otherwise the output has two states and holds between the thresholds.
    bool window = false;

    const Signal* signal() const { return analog != nullptr ? analog->input() : logic; }
    // The input's level for a level condition: an analog input above the middle of its thresholds.
    bool high(Picoseconds t) const;
};

// Where the input stands against the thresholds. A two-state comparator reports only kLow and kHigh.
enum Zone : int { kLow = 0, kBetween = 1, kHigh = 2 };

// One change of the comparator output. `first` marks where the output became known after a
// start; it is not a transition.
struct Edge {
    Picoseconds t = 0;
    bool rising = false;
    bool first = false;
    int zone = kLow; // the zone entered
};

// Walks a comparator output through time on the clock grid, jumping over stretches in which the
// input cannot change the output (quiet stretches, or too far from a threshold for its slope).
class EdgeScanner {
public:
    enum class Step { Edge, Limit, Budget };

    void start(const ComparatorInput& input, Picoseconds t);
    // Next change at a clock instant before `limit`. Limit: none (the scan stands at or beyond
    // limit); Budget: `budget` evaluations ran out first (the scan can go on from where it stands).
    Step next(Picoseconds limit, Edge& edge, long& budget);
    Picoseconds position() const { return m_t; }

private:
    // Zone of the input at t; code is the analog reading, or a logic input's volts.
    int level(Picoseconds t, double& code) const;
    Picoseconds following(Picoseconds t, double code) const;

    ComparatorInput m_in;
    Picoseconds m_t = 0;
    int m_state = -1;
};

} // namespace kx::sim
