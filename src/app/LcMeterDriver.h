// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterRun.h"
#include "analyzers/LcMeterView.h"
#include "app/AnalyzerRegisters.h"
#include "core/FrameRecord.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace kx::app {

// The LC meter between its dialog's buttons (GUI thread) and the acquisition hook: owns the run,
// writes the generator and A1 registers the steps need, and keeps the view. One mutex serialises
// the buttons with the hook.
class LcMeterDriver {
public:
    LcMeterDriver(device::RegisterImageHolder& registers, device::RequestFlags& flags)
        : m_registers(registers), m_flags(flags) {}

    // The dialog opens (after the main settings went out with A1 alone): its registers, step 0,
    // continuous acquisition.
    void open(const LcInstrument& instrument, bool debugMode, bool russian);
    void calibrate(bool selfC);
    void start();
    // "Stop"; selfCChanged: "Self C" was ticked or cleared, so "Start" needs a new calibration.
    void stop(bool selfCChanged = false);
    // Closing stops the run.
    void close();

    analyzers::LcMeterView view() const;
    bool running() const;

    // Acquisition thread: every frame with samples.
    void onFrame(const core::FrameRecord& frame);

private:
    void touch() { ++m_view.revision; }

    device::RegisterImageHolder& m_registers;
    device::RequestFlags& m_flags;
    mutable std::mutex m_mutex;
    analyzers::LcMeterRun m_run;
    LcInstrument m_instrument;
    analyzers::LcMeterView m_view;
    bool m_open = false;
};

} // namespace kx::app
