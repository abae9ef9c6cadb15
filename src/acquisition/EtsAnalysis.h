// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

// The frequency analysis of an equivalent-time frame: which sub-records can be used, the
// signal's true frequency from the four aliases, and the sub-records to leave out.
namespace kx::acquisition::ets {

constexpr int kSubRecords = 4;

// Sample clocks of the four sub-records, hertz: 200 MHz x 1, 35/36, 29/31, 29/32.
constexpr std::array<double, kSubRecords> kClockHz{200e6, 200e6 * 35 / 36, 200e6 * 29 / 31, 200e6 * 29 / 32};
// The same as integer ratios of the 5 ns period (sample period = 5 ns * num / den).
constexpr std::array<int, kSubRecords> kPeriodNum{1, 36, 31, 32};
constexpr std::array<int, kSubRecords> kPeriodDen{1, 35, 29, 29};

// One sub-record's strongest tone and what the analysis made of it.
struct SubRecord {
    bool peakValid = false;
    double levelDb = 0;
    double f = 0;        // cycles per sample; unfolded by unfold()
    double phaseDeg = 0; // at the middle of the transform; negated by unfold() in odd zones
    bool usable = false;
    int zone = -1; // Nyquist zone recorded by the zone search, -1 = none
    int k = 0;     // synchronism multiplier, 0 = none
    int r = 0;     // synchronism integer, 0 = none
};

using SubRecords = std::array<SubRecord, kSubRecords>;

struct ZoneResult {
    double frequencyHz = 0; // F, 0 when no round won
    int matches = 0;
};

// A sub-record is usable with a valid peak at 0.001 .. 0.499 cycles per sample and a level no
// more than 12 dB under the (truncated) mean level of the four.
void markUsable(SubRecords& s);

// Rounds w = 0..8 over the candidates of zones w and w + 1; records each matching
// sub-record's zone.
ZoneResult searchZones(SubRecords& s);

// Usable sub-records without a zone become unusable; the others get their true frequency and
// phase.
void unfold(SubRecords& s);

// k and R of every usable sub-record, then the sub-record(s) whose clock is the simplest
// multiple of the signal are left out: once, twice for a digital trigger source.
void checkSynchronism(SubRecords& s, bool digitalTrigger);

} // namespace kx::acquisition::ets
