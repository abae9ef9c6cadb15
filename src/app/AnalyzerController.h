// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AnalyzerCalibration.h"
#include "app/AnalyzerEngine.h"

#include <memory>

namespace kx::app {

class ScopeSession;

// The network analyzer, the antenna analyzer and the LC meter in the program: the menu toggles
// with their presets, the calibration files named in the settings, and the engine whose hooks
// run in assembly.
class AnalyzerController {
public:
    explicit AnalyzerController(ScopeSession& session);

    AnalyzerEngine& engine() { return *m_engine; }
    // The calibration dialogs' side: "Calibration..." and "OSL Calibration...".
    AnalyzerCalibration& networkCalibration() { return *m_networkCalibration; }
    AnalyzerCalibration& antennaCalibration() { return *m_antennaCalibration; }

    // Menu "Network Analyzer" and "Antenna Analyzer".
    void toggleNetwork();
    void toggleAntenna();
    // Menu "LC Meter...": A1 alone while the dialog is open, the main window's selections back
    // afterwards.
    void lcMeter();
    // Start-up: the calibration files of NA_Clbr_File and AA_Clbr_File (a failure clears the name).
    void loadCalibrationFiles();
    // After apply-settings: the use flags assembly reads.
    void publishUse();

private:
    ScopeSession& m_s;
    std::unique_ptr<AnalyzerEngine> m_engine;
    std::unique_ptr<AnalyzerCalibration> m_networkCalibration;
    std::unique_ptr<AnalyzerCalibration> m_antennaCalibration;
};

} // namespace kx::app
