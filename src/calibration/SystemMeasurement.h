// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::calibration {

// What ten frames of the system calibration's measurement give: the peak-to-peak amplitude each
// interleaved converter sees of the test sine (uV; ADC 0 and 1 for A1, 2 and 3 for A2), the mean
// difference between the two converters of each channel (uV), and the fraction of samples each
// logic input read low.
struct SystemResults {
    std::array<double, 4> gain{};
    std::array<double, 2> shift{};
    std::array<double, 4> lowFraction{};
};

inline constexpr int kSystemFramesPerResult = 10;

// One frame's samples: A1 and A2 as 16-bit codes, D1..D4 as 0 (low) or 256; `count` samples each.
struct SystemFrame {
    std::span<const std::int32_t> a1, a2;
    std::array<std::span<const std::int32_t>, 4> digital;
    std::size_t count = 0;
    double rangeA1 = 0.0; // uV per division
    double rangeA2 = 0.0;
    int cycles = 25; // test sine cycles per record
};

// The per-frame measurement: single-bin DFTs of the four converter streams at the test mode's
// cycles per record, the converters' differences and the logic inputs' low samples, averaged
// over ten frames. Nothing is allocated per frame.
class SystemMeasurement {
public:
    void reset();
    // True when this frame completed a result set.
    bool frame(const SystemFrame& f);
    [[nodiscard]] const SystemResults& results() const { return m_results; }

private:
    std::array<double, 4> m_amplitude{};
    std::array<double, 2> m_difference{};
    std::array<double, 4> m_low{};
    double m_pairs = 0.0;
    int m_frames = 0;
    SystemResults m_results;
};

// The automatic matching of the interleaved converters. Start sets the four gains to 0 and counts
// down from 10 result sets: at 7 the gains come from the amplitudes, at 4 the offsets swing one
// way, at 1 the other way and the offsets that null the difference are set.
class AutoAdcCalibration {
public:
    void start(core::CalTable& systemTable);
    void stop() { m_countdown = 0; }
    [[nodiscard]] bool running() const { return m_countdown > 0; }
    [[nodiscard]] int countdown() const { return m_countdown; }
    // A result set arrived; `expected` is the test sine's peak-to-peak amplitude (uV). Returns
    // true when the table changed (the new trims must go out).
    bool result(const SystemResults& r, core::CalTable& systemTable, double expected, bool twoChannels);

private:
    int m_countdown = 0;
    double m_e[2] = {0.0, 0.0};
};

// Whether a channel's converters match: both amplitudes within 0.2 % of `expected` and the
// difference below 0.1 % of it.
bool adcMatched(const SystemResults& r, int channel, double expected);

} // namespace kx::calibration
