// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LcMeterDriver.h"

#include <algorithm>

namespace kx::app {

namespace fh = core::fh;

void LcMeterDriver::open(const LcInstrument& instrument, bool debugMode, bool russian) {
    std::lock_guard lock(m_mutex);
    m_instrument = instrument;
    m_run.configure(instrument.compactFrontEnd, debugMode, russian);
    m_run.stop();
    m_view = analyzers::LcMeterView{};
    m_view.memo = {"LC METER"};
    m_view.calibrateEnabled = m_flags.DeviceReady.load();
    m_view.progressMaximum = analyzers::kLcStandardSteps;
    m_open = true;
    device::RegisterImage image = m_registers.snapshot();
    writeLcInitialRegisters(image, instrument);
    writeLcStep(image, analyzers::lcStepSetup(m_run.table().steps[0]), instrument);
    m_registers.publish(image);
    m_flags.Running.store(true);
    m_flags.SingleMode.store(false);
    m_flags.SendSettingsRequest.store(true);
    touch();
}

void LcMeterDriver::calibrate(bool selfC) {
    std::lock_guard lock(m_mutex);
    m_run.startCalibration(selfC);
    m_view.calibrateEnabled = false;
    m_view.startEnabled = false;
    m_view.stopEnabled = true;
    m_view.progressMaximum = m_run.table().count;
    touch();
}

void LcMeterDriver::start() {
    std::lock_guard lock(m_mutex);
    m_run.startMeasuring();
    m_view.calibrateEnabled = false;
    m_view.startEnabled = false;
    m_view.stopEnabled = true;
    touch();
}

void LcMeterDriver::stop(bool selfCChanged) {
    std::lock_guard lock(m_mutex);
    const bool calibration = m_run.calibrating();
    m_run.stop();
    m_view.progress = 0;
    m_view.stopEnabled = false;
    m_view.calibrateEnabled = m_flags.DeviceReady.load();
    m_view.startEnabled = !selfCChanged && !calibration;
    touch();
}

void LcMeterDriver::close() {
    std::lock_guard lock(m_mutex);
    m_run.stop();
    m_open = false;
}

analyzers::LcMeterView LcMeterDriver::view() const {
    std::lock_guard lock(m_mutex);
    return m_view;
}

bool LcMeterDriver::running() const {
    std::lock_guard lock(m_mutex);
    return m_run.running();
}

void LcMeterDriver::onFrame(const core::FrameRecord& frame) {
    std::lock_guard lock(m_mutex);
    if (!m_open) return;
    const core::FrameHeader& h = frame.header;
    analyzers::LcFrame f;
    f.analogCount = h.signedWord(fh::AnalogCount);
    f.peakToPeak = h.signedWord(fh::PeakToPeakA1);
    f.scaleUv = h.signedWord(fh::ScaleA1);
    f.infoWord36 = h[fh::InfoWord118];
    const auto& a1 = frame.channels.minOf(core::Channel::A1);
    f.a1 = std::span<const std::int32_t>(a1.data(),
                                         std::min<std::size_t>(a1.size(), std::max(0, f.analogCount)));
    const analyzers::LcFrameActions a = m_run.onFrame(f, m_flags.SendSettingsRequest.load());

    if (a.stepSetup || a.rangeChange) {
        device::RegisterImage image = m_registers.snapshot();
        if (a.stepSetup) writeLcStep(image, a.setup, m_instrument);
        if (a.rangeChange) writeLcRange(image, a.range, m_instrument);
        m_registers.publish(image);
    }
    if (a.sendSettings) m_flags.SendSettingsRequest.store(true);
    bool changed = false;
    if (a.progress >= 0) {
        m_view.progress = a.progress;
        changed = true;
    }
    if (a.evaluated) {
        m_view.memo = a.evaluation.memo;
        if (a.evaluation.resultChanged) m_view.result = a.evaluation.result;
        if (a.evaluation.startEnabled) m_view.startEnabled = true;
        ++m_view.evaluations;
        changed = true;
    }
    if (a.runEnded) {
        m_view.stopEnabled = false;
        m_view.calibrateEnabled = true;
        m_view.result = "...";
        changed = true;
    }
    if (changed) touch();
}

} // namespace kx::app
