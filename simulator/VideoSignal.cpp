// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoSignal.h"

#include <algorithm>

namespace kx::sim {

namespace {

constexpr double kSyncVolts = -0.3;
constexpr double kWhiteVolts = 0.7;
constexpr Picoseconds kLinePulse = 4'700'000;
constexpr Picoseconds kFrontPorch = 1'500'000;

struct SlotRange {
    int first;
    int last;
};

// Half-line slots of the vertical intervals (line n, first half = slot 2n - 2).
constexpr SlotRange kPalBroad[] = {{0, 4}, {625, 629}};
constexpr SlotRange kPalEqualising[] = {{5, 9}, {620, 624}, {630, 634}, {1245, 1249}};
constexpr SlotRange kNtscBroad[] = {{6, 11}, {531, 536}};
constexpr SlotRange kNtscEqualising[] = {{0, 5}, {12, 17}, {525, 530}, {537, 542}};

template <std::size_t N> bool within(const SlotRange (&ranges)[N], int slot) {
    for (const SlotRange& r : ranges)
        if (slot >= r.first && slot <= r.last) return true;
    return false;
}

} // namespace

void VideoSignal::set(bool ntsc) {
    m_ntsc = ntsc;
    m_lines = ntsc ? 525 : 625;
    // 64 us, and 1 / 15 734.264 Hz rounded to an even number of picoseconds.
    m_line = ntsc ? 63'555'556 : 64'000'000;
    m_half = m_line / 2;
    m_frame = m_lines * m_line;
    m_equalising = ntsc ? 2'300'000 : 2'350'000;
    m_activeStart = ntsc ? 10'900'000 : 10'500'000;
    m_activeEnd = m_line - kFrontPorch;
    double area = 0.0;
    for (int slot = 0; slot < 2 * m_lines; ++slot)
        area += kSyncVolts * static_cast<double>(width(pulseAt(slot)));
    for (int line = 1; line <= m_lines; ++line)
        if (active(line)) area += brightness(line) * static_cast<double>(m_activeEnd - m_activeStart);
    m_mean = area / static_cast<double>(m_frame);
}

VideoSignal::Pulse VideoSignal::pulseAt(int slot) const {
    if (within(m_ntsc ? kNtscBroad : kPalBroad, slot)) return Pulse::Broad;
    if (m_ntsc ? within(kNtscEqualising, slot) : within(kPalEqualising, slot)) return Pulse::Equalising;
    return slot % 2 == 0 ? Pulse::Line : Pulse::None;
}

Picoseconds VideoSignal::width(Pulse p) const {
    switch (p) {
    case Pulse::Line:
        return kLinePulse;
    case Pulse::Equalising:
        return m_equalising;
    case Pulse::Broad:
        return m_half - kLinePulse;
    default:
        return 0;
    }
}

bool VideoSignal::active(int line) const {
    if (m_ntsc) return (line >= 22 && line <= 262) || (line >= 285 && line <= 524);
    return (line >= 23 && line <= 310) || (line >= 336 && line <= 622);
}

double VideoSignal::brightness(int line) const {
    return kWhiteVolts * static_cast<double>(line) / static_cast<double>(m_lines);
}

double VideoSignal::volts(Picoseconds t) const {
    Picoseconds tau = t % m_frame;
    if (tau < 0) tau += m_frame;
    const auto n = static_cast<int>(tau / m_line);
    const Picoseconds x = tau - n * m_line;
    const int second = x >= m_half ? 1 : 0;
    if (x - second * m_half < width(pulseAt(2 * n + second))) return kSyncVolts;
    if (active(n + 1) && x >= m_activeStart && x < m_activeEnd) return brightness(n + 1);
    return 0.0;
}

Picoseconds VideoSignal::stableUntil(Picoseconds t) const {
    Picoseconds tau = t % m_frame;
    if (tau < 0) tau += m_frame;
    const auto n = static_cast<int>(tau / m_line);
    const Picoseconds x = tau - n * m_line;
    // The level changes only at these points of a line.
    const Picoseconds marks[] = {width(pulseAt(2 * n)), m_half,      m_half + width(pulseAt(2 * n + 1)),
                                 m_activeStart,         m_activeEnd, m_line};
    Picoseconds next = m_line;
    for (const Picoseconds m : marks)
        if (m > x) next = std::min(next, m);
    return t - x + next;
}

} // namespace kx::sim
