// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

namespace kx::sim {

// A composite video signal, 1 V from sync tip (-0.3 V) to white (0.7 V), interlaced, with the
// sync pulses of the standard: line pulses, equalising and broad pulses around each field sync.
// Each active line is flat at a brightness that rises with its number in the frame, so a line
// can be recognised by its level. Line 1 starts at time 0.
class VideoSignal final : public Signal {
public:
    void set(bool ntsc);
    double volts(Picoseconds t) const override;
    double mean() const override { return m_mean; }
    double periodPs() const override { return static_cast<double>(m_frame); }
    Picoseconds stableUntil(Picoseconds t) const override;

private:
    enum class Pulse { None, Line, Equalising, Broad };

    // Pulse at the start of half-line `slot` of the frame (line n starts slot 2n - 2).
    Pulse pulseAt(int slot) const;
    Picoseconds width(Pulse p) const;
    bool active(int line) const;
    double brightness(int line) const;

    bool m_ntsc = false;
    int m_lines = 625;
    Picoseconds m_line = 64'000'000;
    Picoseconds m_half = 32'000'000;
    Picoseconds m_frame = 625 * m_line;
    Picoseconds m_equalising = 2'350'000;
    Picoseconds m_activeStart = 10'500'000;
    Picoseconds m_activeEnd = 62'500'000;
    double m_mean = 0.0;
};

} // namespace kx::sim
