// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterEvaluation.h"
#include "analyzers/LcMeterSteps.h"
#include "analyzers/LcMeterSums.h"

#include <cstdint>
#include <span>

namespace kx::analyzers {

// What the per-frame step needs of a frame.
struct LcFrame {
    int analogCount = 0;
    std::int32_t peakToPeak = 0; // PeakToPeakA1, -1 when overloaded
    std::int32_t scaleUv = 0;    // ScaleA1
    std::uint32_t infoWord36 = 0;
    std::span<const std::int32_t> a1; // "min" samples
};

// Register changes and control updates the caller applies after a frame.
struct LcFrameActions {
    bool stepSetup = false; // write `setup` into the generator (and, with a fixed range, A1) registers
    LcStepSetup setup;
    bool rangeChange = false; // write the new A1 range, gain code, front-end byte and zero DAC code
    LcRangeDecision range;
    bool sendSettings = false; // raise SendSettingsRequest
    int progress = -1;         // new progress position, -1 unchanged
    bool evaluated = false;    // the memo and result label come from `evaluation`
    LcEvaluation evaluation;
    bool runEnded = false; // a calibration finished: "Stop" off, "Calibrate" on
};

// The LC meter's run state and per-frame step. One thread drives it: the caller serialises the
// button calls with the acquisition hook.
class LcMeterRun {
public:
    void configure(bool compactFrontEnd, bool debugMode, bool russian);
    void startCalibration(bool selfC);
    void startMeasuring();
    void stop();

    LcFrameActions onFrame(const LcFrame& frame, bool sendSettingsPending);

    bool running() const { return m_running; }
    bool calibrating() const { return m_calibrating; }
    int step() const { return m_step; }
    const LcTable& table() const { return m_table; }
    const LcCalibration& calibration() const { return m_cal; }
    // Frames averaged per step.
    int framesPerStep() const { return m_calibrating ? 10 : 5; }

private:
    void setUpStep(int k, LcFrameActions& a);

    LcTable m_table = lcStandardTable(false);
    LcCalibration m_cal;
    LcMeasurement m_measured;
    LcStepAverager m_averager;
    LcStepSetup m_setup;
    bool m_compact = false;
    bool m_debug = false;
    bool m_russian = false;
    bool m_running = false;
    bool m_calibrating = false;
    bool m_setupPending = true;
    bool m_firstSkip = true;
    int m_skip = 0;
    int m_step = 0;
};

} // namespace kx::analyzers
