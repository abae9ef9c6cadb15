// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

namespace kx::sim {

// A train of trapezoid pulses from 0 V: groups of pulses one period apart, each high for half of
// it, and a gap at 0 V after each group. Every runtEvery-th pulse of a group reaches only the runt
// level, and even and odd pulses take their own edge time (rise and fall alike).
class PulseTrain final : public Signal {
public:
    struct Shape {
        Picoseconds period = 1'000'000'000;
        int pulses = 1;
        Picoseconds gap = 0;
        double volts = 2.0;
        double runtVolts = 2.0;
        int runtEvery = 0; // 0: no runts
        Picoseconds edge[2] = {0, 0};
    };

    // Edge times are cut to half a period.
    void set(const Shape& shape);
    double volts(Picoseconds t) const override;
    double mean() const override { return m_mean; }
    double periodPs() const override { return static_cast<double>(m_group); }
    Picoseconds stableUntil(Picoseconds t) const override;
    double maxSlope() const override { return m_maxSlope; }

private:
    double amplitude(Picoseconds pulse) const;

    Shape m_s;
    Picoseconds m_half = 500'000'000;
    Picoseconds m_group = 1'000'000'000;
    double m_mean = 1.0;
    double m_maxSlope = 0.0;
};

} // namespace kx::sim
