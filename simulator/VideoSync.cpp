// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoSync.h"

#include <cmath>

namespace kx::sim {

namespace {

constexpr Picoseconds kUs = 1'000'000;
// Sync pulse widths: equalising 2.3 us, line 4.7 us, broad about 27 us.
constexpr Picoseconds kMinEqualising = 1'500'000;
constexpr Picoseconds kMinLinePulse = 3'500'000;
constexpr Picoseconds kMaxLinePulse = 8 * kUs;
constexpr Picoseconds kMinBroad = 15 * kUs;
constexpr Picoseconds kMaxBroad = 31 * kUs;
// Line periods: 64 us (625 lines) and 63.56 us (525 lines).
constexpr Picoseconds kMinLine = 57 * kUs;
constexpr Picoseconds kMaxLine = 71 * kUs;
constexpr double kStandardSplitPs = 63.78e6;
// How far from a line start (or the middle of a line) a pulse may lie, in lines.
constexpr double kTolerance = 0.1;

} // namespace

void VideoSync::begin(std::uint32_t line) {
    *this = VideoSync{};
    m_target = line;
}

std::uint32_t VideoSync::linesPerFrame() const {
    return m_tentative == VideoStandard::Ntsc ? 525 : 625;
}

std::uint32_t VideoSync::linePeriodClocks() const {
    return static_cast<std::uint32_t>(std::llround(m_linePs / static_cast<double>(kClockPs)));
}

bool VideoSync::feed(Picoseconds t, bool leading) {
    if (!leading) {
        if (!m_syncStart) return false;
        const Picoseconds w = t - *m_syncStart;
        Pulse kind = Pulse::Junk;
        if (w >= kMinEqualising && w < kMinLinePulse) {
            kind = Pulse::Equalising;
        } else if (w >= kMinLinePulse && w < kMaxLinePulse) {
            kind = Pulse::Line;
        } else if (w >= kMinBroad && w <= kMaxBroad) {
            kind = Pulse::Broad;
        }
        pulseEnded(*m_syncStart, kind);
        m_syncStart.reset();
        return false;
    }
    m_syncStart = t;
    if (!m_grid) return false;
    const double lines = static_cast<double>(t - m_gridPs) / m_linePs;
    const double k = std::round(lines);
    if (k < 1.0 || std::abs(lines - k) > kTolerance) return false; // a half-line pulse
    const std::uint32_t n = linesPerFrame();
    if (k > n) {
        lose(); // the sync went missing for a frame
        return false;
    }
    // Every line start re-anchors the grid, so the count never drifts.
    m_line = static_cast<std::uint32_t>((m_gridLine - 1 + static_cast<std::uint32_t>(k)) % n) + 1;
    m_gridPs = t;
    m_gridLine = m_line;
    if (m_confirmed == VideoStandard::None) return false;
    const std::uint32_t target =
        m_confirmed == VideoStandard::Ntsc && m_target > 525 ? m_target - 525 : m_target;
    return m_line == target;
}

void VideoSync::pulseEnded(Picoseconds start, Pulse kind) {
    switch (kind) {
    case Pulse::Junk:
        lose();
        m_broad = 0;
        return;
    case Pulse::Line:
        if (m_broad > 0) endBroadRun();
        if (m_lastLinePulse) {
            const Picoseconds d = start - *m_lastLinePulse;
            if (d >= kMinLine && d <= kMaxLine) {
                if (m_runLines == 0) m_runStart = *m_lastLinePulse;
                ++m_runLines;
                m_linePs = static_cast<double>(start - m_runStart) / static_cast<double>(m_runLines);
            } else {
                m_runLines = 0;
            }
        }
        m_lastLinePulse = start;
        return;
    case Pulse::Equalising:
        if (m_broad > 0) endBroadRun();
        m_runLines = 0;
        return;
    case Pulse::Broad:
        if (m_broad++ == 0) fieldStart(start);
        return;
    }
}

void VideoSync::fieldStart(Picoseconds start) {
    if (!m_lastLinePulse || m_linePs <= 0.0) {
        lose();
        return;
    }
    // Field 1 starts its broad pulses on a line start, field 2 half-way through a line.
    const double phase = static_cast<double>(start - *m_lastLinePulse) / m_linePs;
    const double frac = phase - std::floor(phase);
    const bool onLine = frac < kTolerance || frac > 1.0 - kTolerance;
    const bool halfway = std::abs(frac - 0.5) < kTolerance;
    if (!onLine && !halfway) {
        lose();
        return;
    }
    m_tentative = m_linePs > kStandardSplitPs ? VideoStandard::Pal : VideoStandard::Ntsc;
    // PAL/SECAM: broad pulses from line 1 and from the middle of line 313; NTSC: from line 4 and
    // from the middle of line 266.
    const bool pal = m_tentative == VideoStandard::Pal;
    m_gridLine = pal ? (onLine ? 1 : 313) : (onLine ? 4 : 266);
    m_gridPs = onLine ? start : start - std::llround(m_linePs / 2.0);
    m_grid = true;
}

void VideoSync::endBroadRun() {
    const int expected = m_tentative == VideoStandard::Pal ? 5 : 6;
    if (m_grid && m_broad == expected) {
        m_confirmed = m_tentative;
    } else {
        lose();
    }
    m_broad = 0;
}

void VideoSync::lose() {
    m_grid = false;
    m_line = 0;
    m_runLines = 0;
    m_tentative = VideoStandard::None;
    m_confirmed = VideoStandard::None;
}

} // namespace kx::sim
