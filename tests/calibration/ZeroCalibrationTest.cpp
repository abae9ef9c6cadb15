// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/ZeroCalibration.h"

#include <gtest/gtest.h>

namespace {

using namespace kx::calibration;
namespace core = kx::core;

ZeroFrame frameOf(double a1, double a2, std::int32_t pp, std::uint16_t supply) {
    ZeroFrame f;
    f.hasSamples = true;
    f.mean[0] = a1;
    f.mean[1] = a2;
    f.peakToPeak[0] = f.peakToPeak[1] = pp;
    f.supplyRaw = supply;
    return f;
}

// Runs one step; frames before the tenth read `early`, the others `value` (+ step index for A2).
ZeroOutcome runStep(ZeroCalibration& z, double early, double value, std::int32_t pp, std::uint16_t supply) {
    ZeroOutcome out = ZeroOutcome::Measuring;
    for (int i = 0; i < kZeroFramesPerStep; ++i) {
        const double v = i < kZeroFirstAveragedFrame ? early : value + (i % 2 ? 2.0 : -2.0);
        out = z.frame(frameOf(v, v + 100.0, pp, supply));
    }
    return out;
}

TEST(ZeroCalibration, SevenStepsFillTheirWordsAndTheSupply) {
    ZeroCalibration z;
    z.start(core::defaultZeroOffsetTable(), true);
    const std::uint16_t supply[7] = {49000, 49600, 48100, 49600, 49600, 49600, 49600};
    for (std::size_t s = 0; s < kZeroSteps.size(); ++s) {
        SCOPED_TRACE(s);
        ASSERT_EQ(z.stepIndex(), s);
        const ZeroOutcome out =
            runStep(z, 60000.0, 10000.0 + 1000.0 * static_cast<double>(s), 800, supply[s]);
        EXPECT_EQ(out, s + 1 == kZeroSteps.size() ? ZeroOutcome::Done : ZeroOutcome::NextStep);
    }
    EXPECT_FALSE(z.running());
    EXPECT_EQ(z.progress(), kZeroProgressMax);
    const core::CalTable& t = z.table();
    for (std::size_t s = 0; s < kZeroSteps.size(); ++s) {
        EXPECT_EQ(core::calWord(t, 2 * kZeroSteps[s].wordA1), 10000 + 1000 * s)
            << "the first ten frames settle";
        EXPECT_EQ(core::calWord(t, 2 * kZeroSteps[s].wordA2), 10100 + 1000 * s);
    }
    EXPECT_EQ(core::calWord(t, 2 * core::kZeroWordSupply), 49600) << "just before the load";
    EXPECT_EQ(core::calWord(t, 2 * core::kZeroWordSupplyLoaded), 48100) << "under the load";
    EXPECT_EQ(core::calWord(t, 2 * 6), 10000) << "unused words stay";
}

TEST(ZeroCalibration, SignalOnA1FailsTheStepAndA2IsSkippedWithoutItsInput) {
    struct Case {
        const char* what;
        std::int32_t pp;
        ZeroOutcome expected;
    };
    const Case cases[] = {
        {"quiet input", 4095, ZeroOutcome::NextStep},
        {"a signal of 16 steps", 4096, ZeroOutcome::Failed},
        {"overdriven", -1, ZeroOutcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZeroCalibration z;
        z.start(core::defaultZeroOffsetTable(), false);
        EXPECT_EQ(runStep(z, 0.0, 12345.0, c.pp, 49648), c.expected);
        EXPECT_EQ(z.running(), c.expected != ZeroOutcome::Failed);
        if (c.expected == ZeroOutcome::NextStep) {
            EXPECT_EQ(core::calWord(z.table(), 0), 12345);
            EXPECT_EQ(core::calWord(z.table(), 16), 10000) << "no A2 input: its words stay";
        }
    }
}

TEST(ZeroCalibration, FramesWithoutSamplesCountButGiveNoReading) {
    ZeroCalibration z;
    z.start(core::defaultZeroOffsetTable(), true);
    ZeroOutcome out = ZeroOutcome::Measuring;
    for (int i = 0; i < kZeroFramesPerStep; ++i) out = z.frame(ZeroFrame{});
    EXPECT_EQ(out, ZeroOutcome::Failed);
    EXPECT_EQ(z.progress(), kZeroFramesPerStep);
}

} // namespace
