// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalibrationController.h"

#include "acquisition/ScopeThread.h"
#include "app/ScopeSession.h"
#include "app/SystemCalibrationImage.h"
#include "app/ZeroCalibrationImage.h"
#include "calibration/CalibrationTexts.h"
#include "calibration/FreqCalibration.h"
#include "core/DeviceModel.h"

#include <algorithm>

namespace kx::app {

namespace {

constexpr std::uint32_t kZeroPoints = 10000;

// What the zero calibration changes in the view and puts back afterwards.
struct ZeroViewMemo {
    std::int32_t zeroA1, zeroA2;
    bool a1, a2, fftA1, fftA2, na, aa, measure, triggerOn;
};

ZeroViewMemo keepView(const core::InstrumentState& st) {
    return {st.scope.A1.Zero, st.scope.A2.Zero, st.scope.A1.shown, st.scope.A2.shown,  st.fft.View_A1,
            st.fft.View_A2,   st.analyzer.NA,   st.analyzer.AA,    st.display.Measure, st.trigger.On};
}

void restoreView(core::InstrumentState& st, const ZeroViewMemo& memo) {
    st.scope.A1.Zero = memo.zeroA1;
    st.scope.A2.Zero = memo.zeroA2;
    st.scope.A1.shown = memo.a1;
    st.scope.A2.shown = memo.a2;
    st.fft.View_A1 = memo.fftA1;
    st.fft.View_A2 = memo.fftA2;
    st.analyzer.NA = memo.na;
    st.analyzer.AA = memo.aa;
    st.display.Measure = memo.measure;
    st.trigger.On = memo.triggerOn;
}

} // namespace

void CalibrationController::followReportedModel() {
    core::InstrumentState& st = m_s.state();
    const bool ru = st.system.RussianUi;
    const std::int32_t reported = m_s.status().deviceType;
    if (m_s.flags().DeviceReady.load() && reported != 0 && reported != st.system.UiDeviceType) {
        m_s.prompt().message(core::kWarningCaption.pick(ru),
                             calibration::kInterfaceChanged.pick(ru) + core::modelName(reported) + ". ",
                             core::MessageStyle::Warning);
        st.system.UiDeviceType = reported;
        m_s.apply(kModelEffects);
    }
}

void CalibrationController::endRun() {
    m_s.m_flags.CalibrationRunPending.store(false);
    // The frames taken for the run are no signal to show.
    for (core::FrameRecord* record : {&m_s.frame(), &m_s.background()}) {
        std::lock_guard lock(record->mutex);
        record->clear();
    }
}

void CalibrationController::zeroCalibration() {
    BusyMark busy(m_s.busyFlag());
    core::InstrumentState& st = m_s.state();
    followReportedModel();

    const ZeroViewMemo memo = keepView(st);
    m_s.m_flags.CalibrationRunPending.store(true);
    const core::CalTable kept = st.calibration.ZeroTable;
    m_accepted = false;
    m_run = ZeroRun::Idle;
    const bool compact = core::hasCompactFrontEnd(st.system.UiDeviceType);
    st.scope.A1.shown = true;
    st.scope.A2.shown = core::hasA2Channel(st.system.UiDeviceType);
    st.fft.View_A1 = st.fft.View_A2 = false;
    st.analyzer.NA = st.analyzer.AA = false;
    if (compact) {
        // The manual shift is judged by eye on a running, untriggered picture around mid-screen.
        st.scope.A1.Zero = st.scope.A2.Zero = 0x8000;
        st.display.Measure = true;
        st.trigger.On = false;
        if (m_s.flags().DeviceReady.load()) st.scope.Running = true;
    }
    m_s.settingsChanged();

    m_s.window().showDialog(compact ? Dialog::ZeroCalibrateM : Dialog::ZeroCalibrate);
    zeroStop();
    if (m_accepted)
        m_s.m_registers.requestTableUpload(device::CalTableKind::ZeroOffset, st.calibration.ZeroTable);
    else
        st.calibration.ZeroTable = kept;

    endRun();
    restoreView(st, memo);
    m_s.settingsChanged();
}

bool CalibrationController::zeroStart() {
    if (!m_s.flags().DeviceReady.load()) return false;
    const core::InstrumentState& st = m_s.state();
    m_zero.start(st.calibration.ZeroTable, core::hasA2Input(st.system.UiDeviceType));
    m_run = ZeroRun::Running;
    m_lastCounter = m_s.frame().header[core::fh::FrameCounter];
    m_s.state().scope.Running = true;
    m_s.state().scope.SingleMode = false;
    m_s.settingsChanged(); // publishes the first step's registers over the image
    if (onZeroProgress) onZeroProgress();
    return true;
}

void CalibrationController::zeroStop() {
    if (m_run != ZeroRun::Running) return;
    m_zero.cancel();
    m_run = ZeroRun::Idle;
    m_s.settingsChanged();
}

void CalibrationController::frameArrived() {
    if (m_systemOpen) systemFrame();
    if (m_run != ZeroRun::Running) return;
    const core::FrameHeader& h = m_s.frame().header;
    const std::uint32_t counter = h[core::fh::FrameCounter];
    if (counter == 0 || counter == m_lastCounter) return;
    m_lastCounter = counter;
    const calibration::ZeroOutcome out = m_zero.frame(zeroFrameFrom(h, m_s.status().supplyRaw));
    core::InstrumentState& st = m_s.state();
    // The traces follow the readings, so they stay on screen.
    double mean = 0.0;
    if (m_zero.runningMean(0, mean)) st.scope.A1.Zero = std::clamp(static_cast<std::int32_t>(mean), 0, 65535);
    if (m_zero.runningMean(1, mean)) st.scope.A2.Zero = std::clamp(static_cast<std::int32_t>(mean), 0, 65535);
    switch (out) {
    case calibration::ZeroOutcome::Measuring:
        break;
    case calibration::ZeroOutcome::NextStep:
        sendStep();
        break;
    case calibration::ZeroOutcome::Done:
        st.calibration.ZeroTable = m_zero.table();
        m_run = ZeroRun::Done;
        m_s.settingsChanged();
        break;
    case calibration::ZeroOutcome::Failed:
        m_run = ZeroRun::Failed;
        m_s.settingsChanged();
        break;
    }
    if (onZeroProgress) onZeroProgress();
}

void CalibrationController::sendStep() {
    // The step's registers go out through the next settings frame.
    m_s.settingsChanged();
}

std::uint32_t CalibrationController::publishOver(device::RegisterImageHolder& registers,
                                                 std::uint32_t points) {
    if (m_systemOpen) {
        const core::InstrumentState& st = m_s.state();
        device::RegisterImage image = registers.snapshot();
        fillSystemCalibrationImage(image, st.calibration.SystemTable, st.calibration.ZeroTable,
                                   kSystemBaseCycles,
                                   calibration::CodeForPpm(0.0, st.calibration.SystemTable), 2500000);
        registers.publish(image);
        return kZeroPoints;
    }
    if (m_run != ZeroRun::Running) return points;
    device::RegisterImage image = registers.snapshot();
    fillZeroCalibrationImage(image, m_zero.step(), m_s.state().calibration.SystemTable);
    registers.publish(image);
    return kZeroPoints;
}

void CalibrationController::systemCalibration() {
    BusyMark busy(m_s.busyFlag());
    core::InstrumentState& st = m_s.state();
    followReportedModel();
    const ZeroViewMemo memo = keepView(st);
    const bool running = st.scope.Running;
    const core::CalTable kept = st.calibration.SystemTable;
    m_s.m_flags.CalibrationRunPending.store(true);
    m_accepted = false;
    st.scope.A1.shown = true;
    st.scope.A2.shown = core::hasA2Channel(st.system.UiDeviceType);
    st.scope.A1.Zero = st.scope.A2.Zero = 0x8000;
    st.fft.View_A1 = st.fft.View_A2 = false;
    st.analyzer.NA = st.analyzer.AA = false;
    st.scope.Running = m_s.flags().DeviceReady.load();
    m_systemOpen = true;
    m_systemMode = kModeNone;
    m_measurement.reset();
    m_autoAdc.stop();
    m_systemResults = {};
    m_systemResultCount = 0;
    m_s.settingsChanged();

    m_s.window().showDialog(Dialog::SystemCalibration);

    m_systemOpen = false;
    m_autoAdc.stop();
    if (m_accepted)
        m_s.m_registers.requestTableUpload(device::CalTableKind::System, st.calibration.SystemTable);
    else
        st.calibration.SystemTable = kept;
    endRun();
    restoreView(st, memo);
    st.scope.Running = running;
    m_s.settingsChanged();
}

void CalibrationController::setSystemMode(int mode) {
    m_systemMode = mode;
    m_measurement.reset();
    if (mode == kModeAutoAdc)
        m_autoAdc.start(m_s.state().calibration.SystemTable);
    else
        m_autoAdc.stop();
    m_s.settingsChanged();
}

void CalibrationController::setSystemByte(std::size_t at, std::uint8_t value) {
    if (at >= core::kCalTableCrcOffset) return;
    m_s.state().calibration.SystemTable[at] = value;
    m_s.settingsChanged();
}

void CalibrationController::systemFrame() {
    if (!m_s.flags().DeviceReady.load()) return;
    const core::FrameHeader& h = m_s.frame().header;
    const std::uint32_t counter = h[core::fh::FrameCounter];
    if (counter == 0 || counter == m_lastCounter) return;
    m_lastCounter = counter;
    if (!m_measurement.frame(systemFrameFrom(m_s.frame(), kSystemBaseCycles))) return;
    m_systemResults = m_measurement.results();
    ++m_systemResultCount;
    if (!m_autoAdc.running()) return;
    const core::InstrumentState& st = m_s.state();
    if (m_autoAdc.result(m_systemResults, m_s.state().calibration.SystemTable, kSystemExpectedAmplitude,
                         core::hasA2Input(st.system.UiDeviceType))) {
        if (!m_autoAdc.running()) m_systemMode = kModeVerify;
        // Results taken under the old trims are not averaged with the new ones.
        m_measurement.reset();
        m_s.settingsChanged();
    }
}

std::string CalibrationController::setZeroShift(int shift) {
    core::CalTable& t = m_s.state().calibration.ZeroTable;
    const core::CalTable& sys = m_s.state().calibration.SystemTable;
    std::string suffix;
    int s = std::clamp(shift, -128, 127);
    // The shift is added to both A1 converter offsets: each sum must stay in -128 .. 126.
    for (const std::size_t at : {core::kSysOffsetA1Adc0, core::kSysOffsetA1Adc1}) {
        const int adc = static_cast<std::int8_t>(sys[at]);
        if (s + adc > 126) {
            s = 126 - adc;
            suffix = " (max)";
        } else if (s + adc <= -128) {
            s = -128 - adc;
            suffix = " (min)";
        }
    }
    t[core::kZeroByteShiftA1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(s));
    m_s.settingsChanged();
    return suffix;
}

int CalibrationController::zeroShift() const {
    return static_cast<std::int8_t>(m_s.state().calibration.ZeroTable[core::kZeroByteShiftA1]);
}

} // namespace kx::app
