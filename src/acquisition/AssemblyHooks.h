// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "acquisition/RawSamples.h"
#include "core/FrameRecord.h"

#include <cstdint>
#include <functional>
#include <span>

namespace kx::acquisition {

// What a per-frame hook may look at. Hooks run in the acquisition thread inside assembly:
// they touch their own data and post their control updates to the GUI thread.
struct HookArgs {
    std::span<const std::uint8_t> info;
    const AssemblyContext& context;
    RawSamples& raw;
    core::FrameRecord& frame;
};

// Per-frame steps of other features, called at fixed points of assembly; an empty hook is
// skipped. Set once when the features are created (assigning a std::function may allocate,
// calling it does not).
struct AssemblyHooks {
    // Equivalent-time frames, after the capture words and before the copy: rewrites the first
    // T raw samples of every present channel and sets the periods, PreTrigger, EtsState = 2 and
    // its words. Returns false when it could not reconstruct (the frame is then copied as
    // sub-record 0 with EtsState 1).
    std::function<bool(const HookArgs&)> etsReconstruct;
    // Analyser frames (AnalyzerMode != 0), after the copy: ProcessAnalyzerFrame.
    std::function<void(const HookArgs&)> analyzerFrame;
    // After the statistics: the system-calibration measurement.
    std::function<void(const HookArgs&)> systemCalibration;
    // After the frame counter, only when AnalogCount > 0: the LC meter's measurement.
    std::function<void(const HookArgs&)> lcMeter;
    // Then the antenna-analyser and the network-analyser calibration steps.
    std::function<void(const HookArgs&)> antennaCalibration;
    std::function<void(const HookArgs&)> networkCalibration;
};

} // namespace kx::acquisition
