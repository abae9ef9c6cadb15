// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
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
class CalibrationController {
public:
    explicit CalibrationController(ScopeSession& session) : m_s(session) {}

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
    // uploaded on OK, the copy put back on Cancel.
    void systemCalibration();
    // Test modes the dialog offers: 0 none, 6 the 1 kHz verification, 8 the automatic matching.
    enum : int { kModeNone = 0, kModeVerify = 6, kModeAutoAdc = 8 };
    void setSystemMode(int mode);
    [[nodiscard]] int systemMode() const { return m_systemMode; }
    [[nodiscard]] int autoAdcCountdown() const { return m_autoAdc.countdown(); }
    // A byte of the block being edited (a scroll bar): it goes out with the next settings frame.
    void setSystemByte(std::size_t at, std::uint8_t value);
    // The latest result set and how many have come since the dialog opened.
    [[nodiscard]] const calibration::SystemResults& systemResults() const { return m_systemResults; }
    [[nodiscard]] int systemResultCount() const { return m_systemResultCount; }
    void systemAccept() { m_accepted = true; }

    // The synchronised update: a new frame for a run in progress.
    void frameArrived();
    // apply-settings published: a run in progress puts its step's registers over the image and
    // returns the points its frames have; otherwise `points` unchanged.
    std::uint32_t publishOver(device::RegisterImageHolder& registers, std::uint32_t points);

private:
    void sendStep();
    // The run is over: its frames are dropped and the link leaves calibration mode.
    void endRun();

    // The model the instrument reports replaces the interface's, with a warning.
    void followReportedModel();
    void systemFrame();

    ScopeSession& m_s;
    calibration::ZeroCalibration m_zero;
    bool m_systemOpen = false;
    int m_systemMode = kModeNone;
    calibration::SystemMeasurement m_measurement;
    calibration::AutoAdcCalibration m_autoAdc;
    calibration::SystemResults m_systemResults;
    int m_systemResultCount = 0;
    ZeroRun m_run = ZeroRun::Idle;
    bool m_accepted = false;
    std::uint32_t m_lastCounter = 0;
};

} // namespace kx::app
