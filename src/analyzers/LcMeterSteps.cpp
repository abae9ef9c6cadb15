// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterSteps.h"

#include <algorithm>
#include <cmath>

namespace kx::analyzers {
namespace {

constexpr std::array<std::int32_t, 9> kAutoRanges{5000,   10000,  20000,   50000,  100000,
                                                  200000, 500000, 1000000, 2000000};
constexpr std::int32_t kTopRange = 2000000;
constexpr std::int32_t kBottomRange = 5000;

} // namespace

LcTable lcStandardTable(bool compactFrontEnd) {
    static constexpr std::array<double, kLcStandardSteps> kFreq{
        10, 40, 100, 400, 1000, 4000, 10000, 40000, 100000, 400000, 1000000, 4000000, 10000000};
    LcTable t;
    t.count = kLcStandardSteps;
    for (int i = 0; i < kLcStandardSteps; ++i)
        t.steps[static_cast<std::size_t>(i)] = {kFreq[static_cast<std::size_t>(i)],
                                                compactFrontEnd ? 0.5 : 1.0, 0};
    return t;
}

LcTable lcSelfCTable() {
    static constexpr std::array<double, kLcSelfCSteps> kVolts{0.025, 0.05, 0.1, 0.25, 0.5,
                                                              1.0,   2.5,  4.0, 4.0};
    LcTable t;
    t.count = kLcSelfCSteps;
    t.selfC = true;
    for (int i = 0; i < kLcSelfCSteps; ++i)
        t.steps[static_cast<std::size_t>(i)] = {400000, kVolts[static_cast<std::size_t>(i)],
                                                kAutoRanges[static_cast<std::size_t>(i)]};
    return t;
}

LcRangeCodes lcRangeCodes(std::int32_t rangeUv) {
    switch (rangeUv) {
    case 2000000:
        return {15, 0};
    case 1000000:
        return {14, 0};
    case 500000:
        return {9, 0};
    case 200000:
        return {10, 0};
    case 100000:
        return {7, 0};
    case 50000:
        return {6, 0};
    case 20000:
        return {3, 0};
    case 10000:
        return {2, 0};
    case 5000:
        return {2, 9};
    case 2000:
        return {2, 12};
    case 1000:
        return {2, 13};
    default:
        return {2, 15};
    }
}

LcStepSetup lcStepSetup(const LcStep& step) {
    LcStepSetup s;
    s.genFreqWord =
        static_cast<std::uint64_t>(std::trunc(step.frequencyHz * 1.000005 * 703687.44177664 + 0.5));
    s.genAmplitudeCode = static_cast<std::uint32_t>(std::trunc(step.testVolts * 1000));
    s.genOffsetVolts = -step.testVolts / 2;
    s.timeDivNs = step.frequencyHz > 0 ? static_cast<std::uint32_t>(std::trunc(1e8 / step.frequencyHz)) : 0;
    s.decimation = static_cast<std::uint32_t>(std::ceil(10.0 * s.timeDivNs / (5.0 * 10000)));
    if (s.decimation == 3) s.decimation = 4;
    if (step.fixedRangeUv > 0) {
        s.fixedRangeUv = step.fixedRangeUv;
        s.range = lcRangeCodes(step.fixedRangeUv);
        s.frontEndByte = s.range.lowNibble;
    }
    return s;
}

LcRangeDecision lcAutoRange(std::int32_t peakToPeak, std::int32_t rangeUv, bool autoRanging) {
    LcRangeDecision d;
    d.rangeUv = rangeUv;
    if (!autoRanging || (peakToPeak < 0 && rangeUv >= kTopRange)) {
        if (peakToPeak < 0) d.action = LcRangeAction::Ignore;
        return d;
    }
    const auto it = std::lower_bound(kAutoRanges.begin(), kAutoRanges.end(), rangeUv);
    const auto idx = static_cast<int>(it - kAutoRanges.begin());
    int next = -1;
    if (peakToPeak < 0 && rangeUv < kTopRange) {
        // An exact range goes one up; a range between two goes to the next larger one.
        next = (it != kAutoRanges.end() && *it == rangeUv) ? idx + 1 : idx;
    } else if (peakToPeak < 19660.8 && rangeUv > kBottomRange) {
        next = idx - 1;
    }
    if (next < 0 || next >= static_cast<int>(kAutoRanges.size())) return d;
    d.action = LcRangeAction::Change;
    d.rangeUv = kAutoRanges[static_cast<std::size_t>(next)];
    d.codes = lcRangeCodes(d.rangeUv);
    d.frontEndByte = d.rangeUv == 5000 ? 9 : 0;
    return d;
}

LcInitialRegisters lcInitialRegisters(bool compactFrontEnd) {
    LcInitialRegisters r;
    r.timeDivNs = static_cast<std::uint32_t>(std::trunc(1e8 / 10));
    r.decimation = static_cast<std::uint32_t>(std::trunc(10.0 * r.timeDivNs / (5.0 * 10000)));
    if (compactFrontEnd) {
        r.rangeUv = 100000;
        r.gainCode = 7;
        r.frontEndByte = 8;
    }
    return r;
}

} // namespace kx::analyzers
