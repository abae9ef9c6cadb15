// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/GeneratorState.h"

#include <cstdint>

namespace kx::generator {

// 10^e for the range multipliers, e limited to 0..9.
std::int64_t pow10(std::int32_t e);

// The 200 MHz option doubles the top range; only a debug session may switch it on.
bool fast200(const core::GeneratorState& g, bool debugMode);

// Main frequency and sweep span in millihertz, as the synthesis words take them: plain and
// modulation the set frequency, sweep its start and span, pulse and AWG nothing.
struct MainFrequency {
    std::int64_t start = 0;
    std::int64_t span = 0;
};
MainFrequency mainFrequency(const core::GeneratorState& g, bool debugMode);

// Internal modulation frequency in millihertz (whatever the function and source).
std::int64_t modulationFrequency(const core::GeneratorState& g, bool debugMode);

// Pulse width and period in nanoseconds.
struct PulseTimes {
    std::int64_t width = 0;
    std::int64_t period = 0;
};
PulseTimes pulseTimes(const core::GeneratorState& g);

// AWG step period N in 5 ns ticks: coarse x 10000 + fine, 0 taken as 1.
std::int64_t awgStepTicks(const core::GeneratorState& g);

// The noise range is a range only outside pulse and AWG.
bool noiseRange(const core::GeneratorState& g);

// The modulating signal comes from A1 or A2 (scaled per division).
bool externalModSource(const core::GeneratorState& g);

} // namespace kx::generator
