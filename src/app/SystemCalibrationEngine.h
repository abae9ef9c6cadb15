// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyHooks.h"
#include "calibration/SystemMeasurement.h"
#include "core/FrameRecord.h"

#include <atomic>

namespace kx::app {

// The system calibration's measurement in the acquisition thread: every assembled frame feeds
// it while the dialog measures; each tenth frame completes a result set, which the dialog's
// timer takes in the GUI thread. The result set is written and read under the frame record's
// lock (assembly holds it), and its flag is raised only once it is complete.
class SystemCalibrationEngine {
public:
    explicit SystemCalibrationEngine(core::FrameRecord& frame) : m_frame(frame) {}

    void installHooks(acquisition::AssemblyHooks& hooks);

    // GUI thread: measure (or not) the generator's `cycles` per record at `rangeMicroVolts`
    // per division; any call starts the averaging afresh and drops a result not yet taken.
    void measure(bool on, int cycles, double rangeMicroVolts);
    // GUI thread: the latest result set, when one came since the last call.
    bool take(calibration::SystemResults& out);

private:
    void frame(const acquisition::HookArgs& args);

    core::FrameRecord& m_frame;
    std::atomic<bool> m_on{false};
    std::atomic<int> m_cycles{25};
    std::atomic<double> m_range{500000.0};
    std::atomic<unsigned> m_generation{0}; // a new request restarts the averaging
    std::atomic<bool> m_ready{false};
    // Acquisition thread only.
    calibration::SystemMeasurement m_measurement;
    unsigned m_seenGeneration = 0;
    // Under the record's lock: a set and the request it was measured for.
    calibration::SystemResults m_results;
    unsigned m_resultGeneration = 0;
};

} // namespace kx::app
