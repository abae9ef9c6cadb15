// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Acquisition quantities derived from the state; never edited by hand.
struct DerivedQuantities {
    // Step 1
    bool AnalyzerOn = false;
    bool SweepActive = false;
    bool TriggerActive = false;
    bool trigButtonEnabled = true;
    // Step 2
    bool fastTimeBasesEnabled = true; // 0.2 ms/div .. 2 ns/div
    bool a1AcEnabled = true;
    bool a1BwEnabled = true;
    // Steps 3, 4
    std::int64_t TimeDivNs = 1'000'000;
    bool RollMode = false;
    bool ScrollActive = false;
    // Step 5
    bool stroboVisible = false;
    bool EtsDown = false;
    bool tPlusEnabled = true;
    // Step 6
    bool a1InUse = false, a2InUse = false;
    bool dInUse[4] = {false, false, false, false};
    bool MaxPointsMode = false;
    // Steps 7 .. 12
    std::int32_t Points = 5000;
    bool FastDigital = false;
    std::uint32_t Decimation = 1;
    double SamplesPerDiv = 0;
    std::uint32_t PreTrigger = 0;
    std::uint32_t PostTrigger = 0;
    std::int32_t HiResExponent = 0;
    // Steps 13 .. 17
    std::int64_t MicroVoltsA1 = 1'000'000;
    std::int64_t MicroVoltsA2 = 1'000'000;
    std::int32_t ThresholdD123mV = 1650;
    std::int32_t ThresholdD4mV = 1650;
    std::int32_t MinFramePeriodMs = 25;
    std::int32_t FreqMeterCode = 1;
    std::int32_t DrawMode = 2;
};

} // namespace kx::core
