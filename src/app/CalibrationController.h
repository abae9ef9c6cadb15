// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SystemCalibrationEngine.h"
#include "calibration/FreqTableRun.h"
#include "calibration/SystemCalibrationPort.h"
#include "calibration/SystemMeasurement.h"
#include "calibration/SystemTexts.h"
#include "calibration/ZeroCalibration.h"
#include "core/state/CalibrationState.h"
#include "device/RegisterImage.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kx::app {

class ScopeSession;

// Zero calibration from the Options menu: the automatic procedure for the usual front end, the
// manual zero-level shift for the compact one. While a run measures, the registers of its step
// replace what apply-settings would publish, and the tables the instrument sends are not taken.
class CalibrationController : public calibration::SystemCalibrationPort {
public:
    CalibrationController(ScopeSession& session, core::FrameRecord& frame) : m_s(session), m_engine(frame) {}

    // Menu_ZeroCalibration: remembers the view, shows the model's dialog, uploads the table on OK,
    // puts the kept copy back on Cancel, restores the view.
    void zeroCalibration();

    enum class ZeroRun : std::uint8_t { Idle, Running, Done, Failed };
    // The automatic dialog's Start (only with a ready instrument) and Cancel during a run.
    bool zeroStart();
    void zeroStop();
    [[nodiscard]] ZeroRun zeroRun() const { return m_run; }
    [[nodiscard]] int zeroProgress() const { return m_zero.progress(); }
    // The dialog's result: OK uploads the table.
    void zeroAccept() { m_accepted = true; }
    // Called when a run's progress or result changed (the dialog refreshes).
    std::function<void()> onZeroProgress;

    // The manual dialog's scroll bar: the shift limited against the ADC offsets of A1; returns
    // the label's suffix (" (max)", " (min)" or empty).
    std::string setZeroShift(int shift);
    [[nodiscard]] int zeroShift() const;

    // Menu_SystemCalibration (debug mode): the base setup while the dialog is open, the block
    // uploaded on OK, the copy put back on Cancel, the view put back either way.
    void systemCalibration();
    // Selects a test mode (calibration::SystemMode): its setup goes out with the next settings
    // frame; "Auto" of the converters and of the tuning table start here, 0 stops them.
    void setSystemMode(int mode) override;
    [[nodiscard]] int systemMode() const override { return m_systemMode; }
    [[nodiscard]] int autoAdcCountdown() const override { return m_autoAdc.countdown(); }
    // A generator edit got the focus (0: 0 V, 1: -2.7 V, 2: +2.7 V point): mode 0 with the
    // point's raw offset code and no amplitude, so its output can be measured.
    void focusGeneratorPoint(int point) override;
    // A ppm edit got the focus (0..4): the tuning DAC goes to the point's code.
    void focusTuningPoint(int point) override;
    // The tuning scroll bar; "0 PPM" (which also ends the automatic table measurement).
    void setTuningCode(std::uint16_t code) override;
    void tuneToZeroPpm() override;
    [[nodiscard]] std::uint16_t tuningCode() const override { return m_tuningCode; }
    // The logic inputs' test threshold (uV).
    void setDigitalThreshold(std::int32_t microVolts) override;
    [[nodiscard]] std::int32_t digitalThreshold() const override { return m_threshold; }
    // A byte or a signed word of the block being edited: it goes out with the next settings frame.
    void setSystemByte(std::size_t at, std::uint8_t value) override;
    void setSystemWord(std::size_t at, std::int32_t value) override;
    // The latest result set and how many have come since the dialog opened.
    [[nodiscard]] const calibration::SystemResults& systemResults() const override { return m_systemResults; }
    [[nodiscard]] int systemResultCount() const { return m_systemResultCount; }
    // The frequency counter's words of the latest frame.
    [[nodiscard]] calibration::CounterWords counterWords() const override;
    // The dialog's 100 ms tick: takes a result set (a step of the automatic matching) and moves
    // the automatic table measurement on; returns what that asks of the dialog.
    calibration::FreqTableRun::Step systemTick() override;
    [[nodiscard]] bool freqTableRunning() const { return m_freqRun.running(); }
    [[nodiscard]] int freqTableProgress(int max) const override { return m_freqRun.progress(max); }
    [[nodiscard]] bool systemMeasures() const override { return m_systemMeasures; }
    // The expected amplitude of the model in the interface (uV peak to peak).
    [[nodiscard]] double systemExpected() const override;
    void systemAccept() override { m_accepted = true; }
    // Assembly's side of the measurement (the session installs its hook).
    SystemCalibrationEngine& systemEngine() { return m_engine; }

    // The synchronised update: a new frame for a run in progress.
    void frameArrived();
    // apply-settings published: a run in progress puts its step's registers over the image and
    // returns the points its frames have; otherwise `points` unchanged.
    std::uint32_t publishOver(device::RegisterImageHolder& registers, std::uint32_t points);

private:
    void sendStep();
    // The run is over: its table is uploaded (OK) or put back (Cancel), its frames are dropped and
    // the link leaves calibration mode.
    void endRun(device::CalTableKind kind, core::CalTable& table, const core::CalTable& kept);

    // The model the instrument reports replaces the interface's, with a warning.
    void followReportedModel();
    // A test mode's setup and runs, without publishing it yet.
    void enterSystemMode(int mode);
    // The measurement follows the mode: afresh, at its cycles, only while the dialog measures.
    void restartMeasurement();

    ScopeSession& m_s;
    calibration::ZeroCalibration m_zero;
    bool m_systemOpen = false;
    bool m_systemMeasures = false; // the instrument was ready when the dialog opened
    int m_systemMode = 0;
    int m_rawOffset = -1; // a generator point's raw code while its edit has the focus
    std::uint16_t m_tuningCode = 0x8000;
    std::int32_t m_threshold = 2500000;
    SystemCalibrationEngine m_engine;
    calibration::AutoAdcCalibration m_autoAdc;
    calibration::FreqTableRun m_freqRun;
    calibration::SystemResults m_systemResults;
    int m_systemResultCount = 0;
    ZeroRun m_run = ZeroRun::Idle;
    bool m_accepted = false;
    std::uint32_t m_lastCounter = 0;
};

} // namespace kx::app
