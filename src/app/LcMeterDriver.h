// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterRun.h"
#include "app/AnalyzerRegisters.h"
#include "core/FrameRecord.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace kx::app {

// What the LC meter's dialog shows; the per-frame step changes it in the acquisition thread,
// the dialog copies it out (view()) and redraws when the revision moved.
struct LcMeterView {
    std::vector<std::string> memo; // lines; an entry may hold "\r\n"
    std::string result = "...";
    int progress = 0;
    int progressMaximum = analyzers::kLcStandardSteps;
    bool calibrateEnabled = false;
    bool startEnabled = false;
    bool stopEnabled = false;
    std::uint32_t revision = 0;
    std::uint32_t evaluations = 0; // runs evaluated since the dialog opened
};

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

    LcMeterView view() const;
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
    LcMeterView m_view;
    bool m_open = false;
};

} // namespace kx::app
