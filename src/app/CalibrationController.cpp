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

void CalibrationController::endRun(device::CalTableKind kind, core::CalTable& table,
                                   const core::CalTable& kept) {
    // OK keeps the table and sends it to the instrument; Cancel puts the old one back.
    if (m_accepted)
        m_s.m_registers.requestTableUpload(kind, table);
    else
        table = kept;
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
    endRun(device::CalTableKind::ZeroOffset, st.calibration.ZeroTable, kept);
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
        SystemImageInputs in;
        in.setup = calibration::systemTestSetup(m_systemMode, m_rawOffset);
        in.refOscCode = m_tuningCode;
        in.thresholdMicroVolts = m_threshold;
        in.compact = core::hasCompactFrontEnd(st.system.UiDeviceType);
        fillSystemCalibrationImage(image, st.calibration.SystemTable, st.calibration.ZeroTable, in);
        registers.publish(image);
        return kZeroPoints;
    }
    if (m_run != ZeroRun::Running) return points;
    device::RegisterImage image = registers.snapshot();
    fillZeroCalibrationImage(image, m_zero.step(), m_s.state().calibration.SystemTable);
    registers.publish(image);
    return kZeroPoints;
}

namespace {

// What the system calibration changes in the view and puts back afterwards.
struct SystemViewMemo {
    ZeroViewMemo zero;
    bool running, single, d1, d2, d3, d4, persistence;
    std::int32_t voltsA1, voltsA2, probeA1, probeA2, timeBase;
    double levA1, levA2;
    core::CursorMode cursors;
    core::DrawModeChoice drawMode;
    core::FftState fft;
    std::uint8_t shiftA1, shiftA2;
};

SystemViewMemo keepSystemView(const core::InstrumentState& st) {
    const auto& sc = st.scope;
    return {keepView(st),
            sc.Running,
            sc.SingleMode,
            sc.CH_D1,
            sc.CH_D2,
            sc.CH_D3,
            sc.CH_D4,
            st.display.Persistence,
            sc.A1.voltsDiv,
            sc.A2.voltsDiv,
            sc.A1.probe,
            sc.A2.probe,
            sc.timeBase,
            st.trigger.Lev_A1,
            st.trigger.Lev_A2,
            st.display.cursors,
            st.display.drawMode,
            st.fft,
            st.calibration.ZeroTable[core::kZeroByteShiftA1],
            st.calibration.ZeroTable[core::kZeroByteShiftA2]};
}

void restoreSystemView(core::InstrumentState& st, const SystemViewMemo& m) {
    restoreView(st, m.zero);
    auto& sc = st.scope;
    sc.Running = m.running;
    sc.SingleMode = m.single;
    sc.CH_D1 = m.d1;
    sc.CH_D2 = m.d2;
    sc.CH_D3 = m.d3;
    sc.CH_D4 = m.d4;
    st.display.Persistence = m.persistence;
    sc.A1.voltsDiv = m.voltsA1;
    sc.A2.voltsDiv = m.voltsA2;
    sc.A1.probe = m.probeA1;
    sc.A2.probe = m.probeA2;
    sc.timeBase = m.timeBase;
    st.trigger.Lev_A1 = m.levA1;
    st.trigger.Lev_A2 = m.levA2;
    st.display.cursors = m.cursors;
    st.display.drawMode = m.drawMode;
    st.fft = m.fft;
    st.calibration.ZeroTable[core::kZeroByteShiftA1] = m.shiftA1;
    st.calibration.ZeroTable[core::kZeroByteShiftA2] = m.shiftA2;
}

constexpr int kVoltsDiv500mV = 2;

} // namespace

void CalibrationController::systemCalibration() {
    BusyMark busy(m_s.busyFlag());
    core::InstrumentState& st = m_s.state();
    followReportedModel();
    const SystemViewMemo memo = keepSystemView(st);
    const core::CalTable kept = st.calibration.SystemTable;
    m_s.m_flags.CalibrationRunPending.store(true);
    m_accepted = false;

    // A plain, untouched picture of both inputs and the logic inputs.
    const bool compact = core::hasCompactFrontEnd(st.system.UiDeviceType);
    auto& sc = st.scope;
    sc.A1.shown = true;
    sc.A2.shown = core::hasA2Channel(st.system.UiDeviceType);
    sc.CH_D1 = sc.CH_D2 = sc.CH_D3 = sc.CH_D4 = true;
    sc.A1.Zero = sc.A2.Zero = 0x8000;
    st.trigger.Lev_A1 = st.trigger.Lev_A2 = 32768.0;
    sc.A1.voltsDiv = sc.A2.voltsDiv = compact ? core::kVoltsDiv01V : kVoltsDiv500mV;
    sc.A1.probe = sc.A2.probe = 0;
    st.display.drawMode = core::DrawModeChoice::Sinx;
    st.display.cursors = core::CursorMode::None;
    st.display.Persistence = false;
    st.fft.View_A1 = st.fft.View_A2 = false;
    st.fft.Size = 6;
    st.fft.Ave_On = true;
    st.fft.Ave = 2;
    st.fft.Zoom = 0;
    st.analyzer.NA = st.analyzer.AA = false;
    m_systemMeasures = m_s.flags().DeviceReady.load();
    sc.Running = m_systemMeasures;
    sc.SingleMode = false;
    m_systemOpen = true;
    m_systemMode = calibration::kModeNone;
    m_rawOffset = -1;
    m_tuningCode = calibration::CodeForPpm(0.0, st.calibration.SystemTable);
    m_threshold = 2500000;
    m_autoAdc.stop();
    m_freqRun.stop();
    m_systemResults = {};
    m_systemResultCount = 0;
    setSystemMode(calibration::kModeNone);

    m_s.window().showDialog(Dialog::SystemCalibration);

    m_systemOpen = false;
    m_engine.measure(false, 25, 0.0);
    m_autoAdc.stop();
    m_freqRun.stop();
    endRun(device::CalTableKind::System, st.calibration.SystemTable, kept);
    restoreSystemView(st, memo);
    m_s.settingsChanged();
}

double CalibrationController::systemExpected() const {
    return systemExpectedAmplitude(core::hasCompactFrontEnd(m_s.state().system.UiDeviceType));
}

void CalibrationController::restartMeasurement() {
    const bool compact = core::hasCompactFrontEnd(m_s.state().system.UiDeviceType);
    m_engine.measure(m_systemOpen && m_systemMeasures, calibration::measurementCycles(m_systemMode),
                     systemRangeMicroVolts(compact));
}

void CalibrationController::setSystemMode(int mode) {
    enterSystemMode(mode);
    m_s.settingsChanged();
}

void CalibrationController::enterSystemMode(int mode) {
    core::InstrumentState& st = m_s.state();
    m_systemMode = mode;
    m_rawOffset = -1;
    if (mode == calibration::kModeAutoAdc)
        m_autoAdc.start(st.calibration.SystemTable);
    else
        m_autoAdc.stop();
    if (mode == calibration::kModeAutoFreq) {
        m_freqRun.start();
        m_tuningCode = calibration::kTuningPointCode[0];
    } else {
        m_freqRun.stop();
    }
    const calibration::SystemTestSetup setup = calibration::systemTestSetup(mode);
    st.scope.timeBase = core::timeBaseIndexOf(setup.timeDivNs);
    st.fft.View_A1 = setup.fftChannel == 0;
    st.fft.View_A2 = setup.fftChannel == 1;
    if (setup.fftChannel >= 0) m_s.spectrum().requestRestart(setup.fftChannel);
    restartMeasurement();
}

void CalibrationController::focusGeneratorPoint(int point) {
    enterSystemMode(calibration::kModeNone);
    m_rawOffset = calibration::kGenPointCode[std::clamp(point, 0, 2)];
    m_s.settingsChanged();
}

void CalibrationController::focusTuningPoint(int point) {
    m_tuningCode =
        calibration::kTuningPointCode[std::clamp(point, 0, calibration::FreqTableRun::kPoints - 1)];
    m_s.settingsChanged();
}

void CalibrationController::setTuningCode(std::uint16_t code) {
    m_tuningCode = code;
    m_s.settingsChanged();
}

void CalibrationController::tuneToZeroPpm() {
    if (m_freqRun.running()) setSystemMode(calibration::kModeNone);
    setTuningCode(calibration::CodeForPpm(0.0, m_s.state().calibration.SystemTable));
}

void CalibrationController::setDigitalThreshold(std::int32_t microVolts) {
    m_threshold = microVolts;
    m_s.settingsChanged();
}

void CalibrationController::setSystemByte(std::size_t at, std::uint8_t value) {
    if (at >= core::kCalTableCrcOffset) return;
    m_s.state().calibration.SystemTable[at] = value;
    m_s.settingsChanged();
}

void CalibrationController::setSystemWord(std::size_t at, std::int32_t value) {
    if (at + 1 >= core::kCalTableCrcOffset) return;
    core::detail::putWord(m_s.state().calibration.SystemTable, at, std::clamp(value, -32768, 32767));
    m_s.settingsChanged();
}

calibration::CounterWords CalibrationController::counterWords() const {
    const core::FrameHeader h = m_s.frameHeader();
    return {h[core::fh::CounterStatus], h[core::fh::CounterEvents], h[core::fh::CounterTicks]};
}

calibration::FreqTableRun::Step CalibrationController::systemTick() {
    core::InstrumentState& st = m_s.state();
    calibration::SystemResults r;
    if (m_engine.take(r)) {
        m_systemResults = r;
        ++m_systemResultCount;
        if (m_autoAdc.running() &&
            m_autoAdc.result(m_systemResults, st.calibration.SystemTable, systemExpected(),
                             core::hasA2Input(st.system.UiDeviceType))) {
            if (m_autoAdc.running()) {
                // Results taken under the old trims are not averaged with the new ones.
                restartMeasurement();
                m_s.settingsChanged();
            } else {
                setSystemMode(calibration::kModeVerify1k); // the status shows the verification
            }
        }
    }
    if (!m_freqRun.running()) return {};
    double f = 0.0, ppm = 0.0;
    const bool have = calibration::counterDeviation(counterWords(), st.system.Ref_Freg, f, ppm);
    const calibration::FreqTableRun::Step step = m_freqRun.tick(calibration::tableReading(have, f, ppm));
    if (step.write >= 0)
        setSystemWord(core::kSysFreqPoints + 2 * static_cast<std::size_t>(step.write),
                      calibration::tablePointValue(step.ppm));
    if (step.finished || step.aborted) {
        setSystemMode(calibration::kModeNone);
        if (step.finished) setTuningCode(calibration::CodeForPpm(0.0, st.calibration.SystemTable));
    } else if (step.focus >= 0) {
        focusTuningPoint(step.focus);
    }
    return step;
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
