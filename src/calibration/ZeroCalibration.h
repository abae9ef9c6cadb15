// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx::calibration {

// One of the seven measurements: both zero DACs at `dac`, both channels at `gainCode`, the
// generator loading the supply or not; the A1 mean goes to zero-table word `wordA1`, A2's to
// `wordA2`.
struct ZeroStep {
    std::uint16_t dac;
    std::uint8_t gainCode;
    bool loaded;
    std::size_t wordA1;
    std::size_t wordA2;
};

inline constexpr std::array<ZeroStep, 7> kZeroSteps{{
    {9000, 14, false, 0, 8},
    {18000, 14, false, 1, 9},
    {18000, 14, true, core::kZeroWordLoadedA1, core::kZeroWordLoadedA2},
    {18000, 15, false, 2, 10},
    {36000, 15, false, 3, 11},
    {22500, 9, false, 4, 12},
    {45000, 9, false, 5, 13},
}};
inline constexpr int kZeroFramesPerStep = 20;
inline constexpr int kZeroFirstAveragedFrame = 10; // the first ten frames let the input settle
inline constexpr int kZeroProgressMax = static_cast<int>(kZeroSteps.size()) * kZeroFramesPerStep; // 140
inline constexpr std::int32_t kZeroPeakToPeakLimit = 4096; // 16 ADC steps: anything more is a signal

// What one assembled frame tells the measurement.
struct ZeroFrame {
    bool hasSamples = false;
    double mean[2] = {0.0, 0.0};           // SumAx / AnalogCount, 16-bit codes
    std::int32_t peakToPeak[2] = {-1, -1}; // -1: overdriven
    std::uint16_t supplyRaw = 0;           // the supply the instrument reports now
};

enum class ZeroOutcome : std::uint8_t {
    Measuring, // more frames of the same step
    NextStep,  // the settings of the next step must go out now
    Done,      // the table holds the new readings
    Failed,    // a step had no valid A1 reading
};

// The automatic zero calibration: measure-at-code over 20 frames for each of the seven steps,
// both channels (A2 only with an A2 input), the supply before and during the loaded step, the
// readings written into a copy of the zero-offset table. Plain state machine: the caller sends
// the settings of step() and feeds every frame taken under them.
class ZeroCalibration {
public:
    void start(const core::CalTable& table, bool hasA2);
    void cancel() { m_running = false; }

    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] std::size_t stepIndex() const { return m_step; }
    [[nodiscard]] const ZeroStep& step() const { return kZeroSteps[m_step]; }
    // Frames taken so far, 0 .. 140.
    [[nodiscard]] int progress() const { return m_progress; }
    // The running average of a channel in this step (16-bit codes); false before the first one.
    [[nodiscard]] bool runningMean(int channel, double& mean) const;
    // The table with every reading stored (complete after Done); bytes 62, 63 are not sealed.
    [[nodiscard]] const core::CalTable& table() const { return m_table; }

    ZeroOutcome frame(const ZeroFrame& f);

private:
    void beginStep(std::size_t index);

    core::CalTable m_table{};
    bool m_hasA2 = true;
    bool m_running = false;
    std::size_t m_step = 0;
    int m_frame = 0;
    int m_progress = 0;
    double m_sum[2] = {0.0, 0.0};
    int m_count[2] = {0, 0};
    std::uint16_t m_lastSupply = 0;
};

} // namespace kx::calibration
