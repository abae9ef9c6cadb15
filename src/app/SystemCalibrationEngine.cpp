// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SystemCalibrationEngine.h"

#include "app/SystemCalibrationImage.h"

#include <mutex>

namespace kx::app {

void SystemCalibrationEngine::installHooks(acquisition::AssemblyHooks& hooks) {
    hooks.systemCalibration = [this](const acquisition::HookArgs& a) { frame(a); };
}

void SystemCalibrationEngine::measure(bool on, int cycles, double rangeMicroVolts) {
    m_cycles.store(cycles);
    m_range.store(rangeMicroVolts);
    m_ready.store(false);
    m_generation.fetch_add(1);
    m_on.store(on);
}

bool SystemCalibrationEngine::take(calibration::SystemResults& out) {
    if (!m_ready.exchange(false)) return false;
    std::lock_guard lock(m_frame.mutex);
    // A set finished just as a new request came belongs to the old one.
    if (m_resultGeneration != m_generation.load()) return false;
    out = m_results;
    return true;
}

void SystemCalibrationEngine::frame(const acquisition::HookArgs& a) {
    if (!m_on.load()) return;
    const unsigned generation = m_generation.load();
    if (generation != m_seenGeneration) {
        m_seenGeneration = generation;
        m_measurement.reset();
    }
    const double range = m_range.load();
    calibration::SystemFrame f = systemFrameFrom(a.frame, m_cycles.load());
    f.rangeA1 = f.rangeA2 = range;
    if (!m_measurement.frame(f)) return;
    // Assembly holds the record's lock: the set is complete before the flag goes up.
    m_results = m_measurement.results();
    m_resultGeneration = generation;
    m_ready.store(true);
}

} // namespace kx::app
