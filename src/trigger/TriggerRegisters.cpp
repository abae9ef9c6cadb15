// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerRegisters.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kx::trigger {

namespace {

constexpr std::array<std::uint8_t, 10> kHystCodes = {0, 2, 3, 8, 16, 24, 32, 40, 48, 56};

bool inRange(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return v >= lo && v <= hi;
}

std::uint32_t timeCount(std::int32_t position, std::int32_t tmult) {
    const double scale = std::pow(10.0, std::clamp(tmult, 0, 5));
    const double count = std::trunc(std::clamp(position, 0, 2000) * scale);
    return static_cast<std::uint32_t>(count);
}

} // namespace

std::uint8_t hysteresisCode(std::int32_t hyst) {
    return kHystCodes[static_cast<std::size_t>(std::clamp(hyst, 0, 9))];
}

LevelThresholds levelThresholds(double level, std::int32_t hyst) {
    double l8 = std::round(level / 256.0);
    if (!(l8 > 0.0)) l8 = 0.0; // also a NaN level
    const int level8 = static_cast<int>(std::min(l8, 255.0));
    const int h = hysteresisCode(hyst);
    LevelThresholds t;
    t.lower = static_cast<std::uint8_t>(level8 > h ? level8 - h : 1);
    t.upper = static_cast<std::uint8_t>(level8 + h <= 255 ? level8 + h : 255);
    return t;
}

std::uint16_t digitalThresholdCode(std::int32_t threshold10mV) {
    const double code = std::round(threshold10mV * 0.01 * 0.25 * 65536.0 / 3.3);
    return static_cast<std::uint16_t>(std::clamp(code, 0.0, 65535.0));
}

bool additionalConditionsActive(const core::TriggerState& trigger, bool etsDown) {
    return trigger.TPLUS && !etsDown;
}

TriggerRegisters computeTriggerRegisters(const core::TriggerState& t, bool etsDown) {
    using namespace core;
    TriggerRegisters r;
    const bool active = additionalConditionsActive(t, etsDown);
    const bool timed = inRange(t.Mode, kTrigModePulseWidth, kTrigModePulseNTime);

    // The kind classes go out whether or not T+ is on.
    if (t.Mode == kTrigModePeriod || t.Mode == kTrigModeRunt || t.Mode == kTrigModeVideo) r.modeBits |= 0x20;
    if (t.Mode == kTrigModeRunt || t.Mode == kTrigModeSlew) r.modeBits |= 0x40;

    if (active) {
        if (timed && (t.T_Mode == kTimeModeInside || t.T_Mode == kTimeModeOutside)) r.modeBits |= 0x08;
        if (timed && t.T_Mode == kTimeModeInside) r.modeBits |= 0x10;

        if (t.Mode == kTrigModeRunt) r.condFlags |= t.Edge ? 0x02 : 0x01;
        if (t.Mode == kTrigModeVideo) r.condFlags |= 0x10;
        if ((t.Mode == kTrigModePulseNTime && t.T_Mode != kTimeModeAny) || t.Mode == kTrigModePulseNLevels)
            r.condFlags |= 0x20;
        if (t.Mode == kTrigModePulseNLevels) r.condFlags |= 0x40;

        if (timed) {
            r.timeLow = timeCount(t.Tmin, t.Tmult);
            r.timeHigh = timeCount(t.Tmax, t.Tmult);
        }

        const std::int32_t srcBit = 1 << std::clamp(t.Src, 0, 5);
        const bool counted = (t.Mode == kTrigModePulseNTime && t.T_Mode != kTimeModeAny) ||
                             t.Mode == kTrigModeVideo ||
                             (t.Mode == kTrigModePulseNLevels && (t.Lev_Mask & 0x3F & ~srcBit) != 0);
        if (counted) r.pulseCount = static_cast<std::uint16_t>(std::clamp(t.Extra_N, 1, 1000));

        r.levelMask = static_cast<std::uint8_t>(t.Lev_Mask & 0x3F);
        r.levelPolarity = static_cast<std::uint8_t>(t.Levels & 0x3F);
    }

    r.a1 = levelThresholds(t.Lev_A1, t.Hyst);
    r.a2 = levelThresholds(t.Lev_A2, t.Hyst);
    r.d123Code = digitalThresholdCode(t.D123_Lev);
    r.d4Code = digitalThresholdCode(t.D4_Lev);
    return r;
}

} // namespace kx::trigger
