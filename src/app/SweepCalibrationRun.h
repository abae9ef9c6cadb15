// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SweepCalibration.h"
#include "core/FrameRecord.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <complex>
#include <cstdint>
#include <span>
#include <vector>

namespace kx::app {

// The calibration sweep of the network analyzer ("Response": one standard) or of the antenna
// analyzer (open, short, load). The buttons run in the GUI thread, the per-frame step in the
// acquisition thread: a button clears the step, raises the settings frame and only then sets the
// step, and the step ignores frames while that request is pending. A standard's values are
// written only by the step and read by the GUI only once its done flag is set.
class SweepCalibrationRun {
public:
    static constexpr int kStandards = 3;

    explicit SweepCalibrationRun(bool antenna);

    // GUI thread. The dialog opens: no step, nothing measured; the plan is written and continuous
    // acquisition starts.
    void open(device::RegisterImageHolder& registers, device::RequestFlags& flags, std::int32_t spanHz);
    // A single sweep of standard 0..2 (the network analyzer has only 0).
    void begin(int standard, device::RegisterImageHolder& registers, device::RequestFlags& flags,
               std::int32_t spanHz);
    // The dialog closes: no step.
    void close() { m_step.store(0); }
    // After a save: the measured sweeps count as used.
    void clearDone();

    // 0 none, else standard + 1.
    int step() const { return m_step.load(); }
    int progress() const { return m_progress.load(); }
    bool done(int standard) const { return m_done[index(standard)].load(); }
    bool allDone() const;
    analyzers::SweepCalStatus status(int standard) const {
        return static_cast<analyzers::SweepCalStatus>(m_status[index(standard)].load());
    }
    // Valid while done(standard).
    std::span<const std::complex<double>> values(int standard) const { return m_values[index(standard)]; }

    // Acquisition thread, after every assembled frame.
    void onFrame(const core::FrameRecord& frame, device::RegisterImageHolder& registers,
                 device::RequestFlags& flags);

private:
    static std::size_t index(int standard) { return static_cast<std::size_t>(std::clamp(standard, 0, 2)); }

    bool m_antenna;
    std::atomic<int> m_step{0};
    std::atomic<int> m_progress{0};
    std::array<std::atomic<bool>, kStandards> m_done{};
    std::array<std::atomic<int>, kStandards> m_status{};
    std::array<std::vector<std::complex<double>>, kStandards> m_values;
};

} // namespace kx::app
