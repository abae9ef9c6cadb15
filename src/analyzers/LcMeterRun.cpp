// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterRun.h"

#include <algorithm>

namespace kx::analyzers {

void LcMeterRun::configure(bool compactFrontEnd, bool debugMode, bool russian) {
    m_compact = compactFrontEnd;
    m_debug = debugMode;
    m_russian = russian;
    if (!m_table.selfC) m_table = lcStandardTable(m_compact);
    resetLcCalibration(m_cal, m_table);
}

void LcMeterRun::startCalibration(bool selfC) {
    m_table = selfC ? lcSelfCTable() : lcStandardTable(m_compact);
    resetLcCalibration(m_cal, m_table);
    m_skip = 2;
    m_firstSkip = true;
    m_calibrating = true;
    m_running = true;
    m_step = 0;
    m_averager.restart();
}

void LcMeterRun::startMeasuring() {
    m_skip = 5;
    m_firstSkip = true;
    m_calibrating = false;
    m_running = true;
    m_step = 0;
    m_averager.restart();
}

void LcMeterRun::stop() {
    m_running = false;
    m_averager.restart();
}

void LcMeterRun::setUpStep(int k, LcFrameActions& a) {
    m_step = k;
    m_setup = lcStepSetup(m_table.steps[static_cast<std::size_t>(k)]);
    a.stepSetup = true;
    a.setup = m_setup;
    a.sendSettings = true;
    m_averager.restart();
}

LcFrameActions LcMeterRun::onFrame(const LcFrame& f, bool sendSettingsPending) {
    LcFrameActions a;
    if (f.analogCount <= 0) return a;
    if (!m_running || sendSettingsPending) {
        m_averager.restart();
        m_setupPending = true;
        return a;
    }
    if (m_skip > 0) {
        --m_skip;
        if (m_firstSkip || m_setupPending) {
            setUpStep(0, a);
            a.progress = 0;
            m_firstSkip = false;
            m_setupPending = false;
        }
        return a;
    }

    const bool autoRanging = !m_table.selfC && !m_compact;
    const LcRangeDecision range = lcAutoRange(f.peakToPeak, f.scaleUv, autoRanging);
    if (range.action == LcRangeAction::Ignore) return a;
    if (range.action == LcRangeAction::Change) {
        a.rangeChange = true;
        a.range = range;
        a.sendSettings = true;
        m_averager.restart();
        return a;
    }

    const auto i = static_cast<std::size_t>(m_step);
    const LcStep& step = m_table.steps[i];
    const int n = std::min(f.analogCount, static_cast<int>(f.a1.size()));
    const LcSums sums = lcFourierSums(f.a1, n, step.frequencyHz, m_setup.decimation);
    const double phase = lcFramePhase(sums, f.infoWord36, m_setup.genFreqWord, m_cal.phaseCorrection[i]);
    const int frames = framesPerStep();
    if (!m_averager.add(sums, phase, frames)) return a;

    m_measured.amplitude[i] = m_averager.amplitude(f.scaleUv, n, frames);
    m_measured.phase[i] = m_averager.phase(frames);
    a.progress = m_step + 1;
    if (m_step + 1 < m_table.count) {
        setUpStep(m_step + 1, a);
        return a;
    }

    LcEvaluationInput in;
    in.table = &m_table;
    in.measured = m_measured;
    in.calibrating = m_calibrating;
    in.compactFrontEnd = m_compact;
    in.debugMode = m_debug;
    in.russian = m_russian;
    a.evaluation = evaluateLcMeter(in, m_cal);
    a.evaluated = true;
    if (a.evaluation.resetProgress) a.progress = 0;
    if (m_calibrating) {
        m_running = false;
        m_skip = 2;
        m_firstSkip = true;
        a.runEnded = true;
        m_averager.restart();
    } else {
        setUpStep(0, a);
    }
    return a;
}

} // namespace kx::analyzers
