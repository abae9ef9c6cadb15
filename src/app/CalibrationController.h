// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

    // The synchronised update: a new frame for a run in progress.
    void frameArrived();
    // apply-settings published: a run in progress puts its step's registers over the image and
    // returns the points its frames have; otherwise `points` unchanged.
    std::uint32_t publishOver(device::RegisterImageHolder& registers, std::uint32_t points);

private:
    void sendStep();

    ScopeSession& m_s;
    calibration::ZeroCalibration m_zero;
    ZeroRun m_run = ZeroRun::Idle;
    bool m_accepted = false;
    std::uint32_t m_lastCounter = 0;
};

} // namespace kx::app
