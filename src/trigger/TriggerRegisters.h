// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/TriggerState.h"

#include <cstdint>
#include <optional>

namespace kx::trigger {

// Hysteresis code in 8-bit level units for a noise-reject index (clamped to 0..9).
std::uint8_t hysteresisCode(std::int32_t hyst);

struct LevelThresholds {
    std::uint8_t lower = 1;
    std::uint8_t upper = 0;
};

// The two comparator thresholds around a trigger level given in screen units (0..65535).
LevelThresholds levelThresholds(double level, std::int32_t hyst);

// DAC code of a logic-input threshold given in units of 10 mV (3.3 V reference, 1/4 divider).
std::uint16_t digitalThresholdCode(std::int32_t threshold10mV);

// The T+ conditions take effect only with the T+ button down and ETS up.
bool additionalConditionsActive(const core::TriggerState& trigger, bool etsDown);

// Register values derived from the trigger state alone.
struct TriggerRegisters {
    std::uint8_t modeBits = 0;            // bits 3..6 of the channel and trigger-mode flags
    std::uint8_t condFlags = 0;           // additional-condition flags without the once bit
    std::optional<std::uint32_t> timeLow; // empty: keep the value already in the image
    std::optional<std::uint32_t> timeHigh;
    std::uint16_t pulseCount = 1;
    std::uint8_t levelMask = 0;
    std::uint8_t levelPolarity = 0;
    LevelThresholds a1;
    LevelThresholds a2;
    std::uint16_t d123Code = 0;
    std::uint16_t d4Code = 0;
};

TriggerRegisters computeTriggerRegisters(const core::TriggerState& trigger, bool etsDown);

} // namespace kx::trigger
