// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/CalibrationDialogs.h"

#include "app/CalibrationController.h"
#include "app/ScopeSession.h"
#include "calibration/forms/TForm_CLBR.h"
#include "calibration/forms/TForm_FreqCalibration.h"
#include "calibration/forms/TForm_ZeroCalibrate.h"
#include "calibration/forms/TForm_ZeroCalibrateM.h"

namespace kx::app {

void showZeroCalibrate(QWidget* parent, ScopeSession& s) {
    CalibrationController& c = s.calibration();
    calibration::ZeroCalibrateHooks hooks;
    hooks.deviceReady = [&s] { return s.flags().DeviceReady.load(); };
    hooks.start = [&c] { return c.zeroStart(); };
    hooks.stop = [&c] { c.zeroStop(); };
    hooks.run = [&c] {
        using Run = calibration::ZeroCalibrateHooks::Run;
        switch (c.zeroRun()) {
        case CalibrationController::ZeroRun::Running:
            return Run::Running;
        case CalibrationController::ZeroRun::Done:
            return Run::Done;
        case CalibrationController::ZeroRun::Failed:
            return Run::Failed;
        default:
            return Run::Idle;
        }
    };
    hooks.progress = [&c] { return c.zeroProgress(); };
    hooks.accept = [&c] { c.zeroAccept(); };
    hooks.listen = [&c](std::function<void()> f) { c.onZeroProgress = std::move(f); };
    calibration::TForm_ZeroCalibrate dialog(parent, s.state(), std::move(hooks));
    dialog.exec();
}

void showZeroCalibrateM(QWidget* parent, ScopeSession& s) {
    CalibrationController& c = s.calibration();
    calibration::ZeroCalibrateMHooks hooks;
    hooks.deviceReady = [&s] { return s.flags().DeviceReady.load(); };
    hooks.setShift = [&c](int v) { return c.setZeroShift(v); };
    hooks.shift = [&c] { return c.zeroShift(); };
    hooks.accept = [&c] { c.zeroAccept(); };
    calibration::TForm_ZeroCalibrateM dialog(parent, s.state(), std::move(hooks));
    dialog.exec();
}

void showFreqCalibration(QWidget* parent, ScopeSession& s) {
    calibration::FreqCalibrationHooks hooks;
    hooks.settingsChanged = [&s] { s.settingsChanged(); };
    hooks.accept = [&s] { s.writeProgramSettings(); };
    calibration::TForm_FreqCalibration dialog(parent, s.state(), std::move(hooks));
    dialog.exec();
}

void showSystemCalibration(QWidget* parent, ScopeSession& s) {
    calibration::TForm_CLBR dialog(parent, s.state(), s.calibration());
    dialog.exec();
}

} // namespace kx::app
