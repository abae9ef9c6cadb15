// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Comparator.h"

#include <cstdint>
#include <optional>

namespace kx::sim {

enum class VideoStandard { None, Pal, Ntsc };

// The composite sync separator and line counter of the video trigger. It sorts the sync pulses
// by width (line, equalising, broad), takes the line period from runs of line pulses, the field
// from where the broad pulses start against the line grid (on a line start or half-way), and the
// standard from the line period, confirmed by the number of broad pulses (PAL/SECAM 5, NTSC 6).
// Lines are numbered as the standards do: 1..625, or 1..525 with the first equalising pulse of
// field 1 on line 1.
class VideoSync {
public:
    // Target line 1..625; on NTSC a target above 525 is that many lines into the next frame.
    void begin(std::uint32_t line);
    // A sync pulse begins (leading) or ends at t. True when a leading edge starts the target line
    // while the standard is confirmed.
    bool feed(Picoseconds t, bool leading);
    VideoStandard standard() const { return m_confirmed; }
    // Number of the line the last leading edge started (0 before the grid stands).
    std::uint32_t line() const { return m_line; }
    // The line period in clocks, rounded.
    std::uint32_t linePeriodClocks() const;

private:
    enum class Pulse { Junk, Equalising, Line, Broad };

    void pulseEnded(Picoseconds start, Pulse kind);
    void fieldStart(Picoseconds start);
    void endBroadRun();
    void lose();
    std::uint32_t linesPerFrame() const;

    std::uint32_t m_target = 1;
    std::optional<Picoseconds> m_syncStart;
    // Runs of line pulses one line period apart give the line period.
    std::optional<Picoseconds> m_lastLinePulse;
    Picoseconds m_runStart = 0;
    std::int64_t m_runLines = 0;
    double m_linePs = 0.0;
    // The line grid: a line start and its number; valid once a field start was seen.
    bool m_grid = false;
    Picoseconds m_gridPs = 0;
    std::uint32_t m_gridLine = 0;
    std::uint32_t m_line = 0;
    // Field sync: broad pulses of the present run and the standard they should confirm.
    int m_broad = 0;
    VideoStandard m_tentative = VideoStandard::None;
    VideoStandard m_confirmed = VideoStandard::None;
};

} // namespace kx::sim
