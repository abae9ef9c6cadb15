// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SweepCalibrationView.h"

namespace kx::app {

class AnalyzerEngine;
class ScopeSession;

// The calibration dialogs' side in the session, for the network analyzer ("Response", ".kxc")
// or the antenna analyzer (open, short, load, ".kxo"): what their buttons do and what they show.
class AnalyzerCalibration {
public:
    AnalyzerCalibration(ScopeSession& session, AnalyzerEngine& engine, bool antenna)
        : m_s(session), m_engine(engine), m_antenna(antenna) {}

    // The menu item: the analyzer on (with its preset) if it was off, the dialog, then the
    // records cleared and the settings applied again.
    void run();

    void measure(int standard);
    void save();
    void load();
    bool mayClose();
    void setUse(bool on) { m_use = on; }
    void setMinus20(bool on);
    analyzers::SweepCalibrationView view() const;

private:
    bool measuredUnsaved() const;

    ScopeSession& m_s;
    AnalyzerEngine& m_engine;
    bool m_antenna;
    bool m_use = false;
    bool m_saved = true;
};

} // namespace kx::app
