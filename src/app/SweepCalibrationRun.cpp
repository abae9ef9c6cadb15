// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SweepCalibrationRun.h"

#include "analyzers/AnalyzerFrame.h"
#include "analyzers/NetworkAnalyzer.h"
#include "app/AnalyzerRegisters.h"

#include <algorithm>

namespace kx::app {

namespace fh = core::fh;

SweepCalibrationRun::SweepCalibrationRun(bool antenna) : m_antenna(antenna) {
    for (auto& v : m_values) v.assign(analyzers::kCalibrationPlanPoints, {});
}

void SweepCalibrationRun::open(device::RegisterImageHolder& registers, device::RequestFlags& flags,
                               std::int32_t spanHz) {
    m_step.store(0);
    m_progress.store(0);
    for (int i = 0; i < kStandards; ++i) {
        m_done[index(i)].store(false);
        m_status[index(i)].store(static_cast<int>(analyzers::SweepCalStatus::None));
    }
    device::RegisterImage image = registers.snapshot();
    writeCalibrationPlan(image, spanHz);
    registers.publish(image);
    setRunDirect(registers, flags, true, false);
}

void SweepCalibrationRun::begin(int standard, device::RegisterImageHolder& registers,
                                device::RequestFlags& flags, std::int32_t spanHz) {
    m_step.store(0);
    // A single shot's end re-applies the settings: the plan goes out again with every sweep.
    device::RegisterImage image = registers.snapshot();
    writeCalibrationPlan(image, spanHz);
    registers.publish(image);
    setRunDirect(registers, flags, true, true);
    m_done[index(standard)].store(false);
    m_status[index(standard)].store(static_cast<int>(analyzers::SweepCalStatus::None));
    m_step.store(static_cast<int>(index(standard)) + 1);
}

void SweepCalibrationRun::clearDone() {
    for (auto& d : m_done) d.store(false);
}

bool SweepCalibrationRun::allDone() const {
    return std::all_of(m_done.begin(), m_done.end(), [](const auto& d) { return d.load(); });
}

void SweepCalibrationRun::onFrame(const core::FrameRecord& frame, device::RegisterImageHolder& registers,
                                  device::RequestFlags& flags) {
    const int step = m_step.load();
    if (step == 0 || flags.SendSettingsRequest.load()) return;
    const core::FrameHeader& h = frame.header;
    analyzers::SweepCalFrame f;
    f.analogCount = h.signedWord(fh::AnalogCount);
    f.captureLength = h.signedWord(fh::CaptureLength);
    f.overdriveA1 = h[fh::OverdriveA1] != 0;
    f.genAmplitudeWord = h.signedWord(fh::GenAmplitudeWord);
    f.scaleA1Uv = h[fh::ScaleA1];
    const analyzers::SweepCalOutcome o =
        m_antenna ? analyzers::antennaCalibrationFrame(f) : analyzers::networkCalibrationFrame(f);
    m_progress.store(o.progress);
    const std::size_t i = index(step - 1);
    if (o.aborted) {
        m_status[i].store(static_cast<int>(o.status));
        setRunDirect(registers, flags, false, false);
        m_step.store(0);
        return;
    }
    if (!o.complete) return;
    // Once per sweep, not per frame.
    m_values[i] = analyzers::copySweepPoints(frame.points, analyzers::kCalibrationPlanPoints);
    m_done[i].store(true);
    m_step.store(0);
}

} // namespace kx::app
