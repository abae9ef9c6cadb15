// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DerivedQuantities.h"
#include "core/ScopeTables.h"

#include <gtest/gtest.h>

using kx::app::computeDerived;
using kx::core::InstrumentState;
using kx::core::timeBaseIndexOf;

namespace {

struct Channels {
    bool a1, a2, d1, d2, d3, d4;
};

struct DerivedCase {
    const char* name;
    std::int64_t nsPerDiv;
    int points; // index into 2000, 5000, 10000, 20000, max
    Channels ch;
    bool peakDetect;
    bool hiRes;
    int expectPoints;
    std::uint32_t expectDecimation;
    double expectSamplesPerDiv;
    std::uint32_t expectPre;
    bool expectMaxPoints;
    bool expectFastDigital;
};

InstrumentState stateFor(const DerivedCase& c) {
    InstrumentState s;
    s.scope.timeBase = timeBaseIndexOf(c.nsPerDiv);
    s.scope.points = c.points;
    s.scope.A1.shown = c.ch.a1;
    s.scope.A2.shown = c.ch.a2;
    s.scope.CH_D1 = c.ch.d1;
    s.scope.CH_D2 = c.ch.d2;
    s.scope.CH_D3 = c.ch.d3;
    s.scope.CH_D4 = c.ch.d4;
    s.scope.SmplPeakDet = c.peakDetect;
    s.scope.Smpl_Hi_Res = c.hiRes;
    return s;
}

constexpr Channels kA1{true, false, false, false, false, false};
constexpr Channels kA1A2{true, true, false, false, false, false};
constexpr Channels kA1D1D2{true, false, true, true, false, false};
constexpr Channels kA1D1{true, false, true, false, false, false};
constexpr Channels kAll{true, true, true, true, true, true};

class DerivedTable : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(DerivedTable, Computes) {
    const auto& c = GetParam();
    auto s = stateFor(c);
    auto d = computeDerived(s);
    EXPECT_EQ(d.Points, c.expectPoints);
    EXPECT_EQ(d.Decimation, c.expectDecimation);
    EXPECT_DOUBLE_EQ(d.SamplesPerDiv, c.expectSamplesPerDiv);
    EXPECT_EQ(d.PreTrigger, c.expectPre);
    EXPECT_EQ(d.PostTrigger, static_cast<std::uint32_t>(c.expectPoints) - c.expectPre);
    EXPECT_EQ(d.MaxPointsMode, c.expectMaxPoints);
    EXPECT_EQ(d.FastDigital, c.expectFastDigital);
}

INSTANTIATE_TEST_SUITE_P(
    TimeBasesAndChannels, DerivedTable,
    ::testing::Values(
        DerivedCase{"us1_5000", 1000, 1, kA1, false, false, 5000, 1, 200, 1000, true, false},
        DerivedCase{"ms1_5000_pd", 1'000'000, 1, kA1, true, false, 5000, 800, 500, 2500, true, false},
        DerivedCase{"ms1_5000_hr", 1'000'000, 1, kA1, false, true, 5000, 800, 500, 2500, true, false},
        // 10 * 50000 / (5 * 40000) = 2.5 gives 3, which is sent as 4
        DerivedCase{"dec3", 50000, 4, kA1, false, false, 40000, 4, 2500, 12500, true, false},
        DerivedCase{"max_a1a2", 1000, 4, kA1A2, false, false, 20000, 1, 200, 1000, false, false},
        DerivedCase{"max_a1d1d2", 1000, 4, kA1D1D2, false, false, 40000, 1, 200, 1000, true, false},
        DerivedCase{"max_all", 1000, 4, kAll, false, false, 20000, 1, 200, 1000, false, false},
        DerivedCase{"ns50_d1", 50, 1, kA1D1, false, false, 625, 1, 10, 50, true, true},
        DerivedCase{"us02_2000_d1_not_fast", 200, 0, kA1D1, false, false, 2000, 1, 40, 200, true, false},
        DerivedCase{"us02_5000_d1_fast", 200, 1, kA1D1, false, false, 625, 1, 40, 200, true, true},
        DerivedCase{"ns2_pre_fixed", 2, 1, kA1D1, false, false, 625, 1, 0.4, 2, true, true},
        DerivedCase{"s1000", 1'000'000'000'000, 3, kA1, false, false, 20000, 100'000'000, 2000, 10000, true,
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Derived, AnalysersMoveFastTimeBasesAndUseEveryChannel) {
    InstrumentState s;
    s.analyzer.NA = true;
    s.scope.timeBase = timeBaseIndexOf(1000);
    auto d = computeDerived(s);
    EXPECT_EQ(s.scope.timeBase, timeBaseIndexOf(200'000'000));
    EXPECT_TRUE(d.SweepActive);
    EXPECT_FALSE(d.TriggerActive);
    EXPECT_TRUE(d.a2InUse && d.dInUse[3]);
    EXPECT_FALSE(d.MaxPointsMode);
    EXPECT_EQ(d.PreTrigger, 0u);
    // debug mode keeps the fast time bases
    s.system.DebugMode = true;
    s.scope.timeBase = timeBaseIndexOf(1000);
    computeDerived(s);
    EXPECT_EQ(s.scope.timeBase, timeBaseIndexOf(1000));
}

TEST(Derived, EtsIsHeldAtTheFastestTimeBasesUnlessChosenByHand) {
    InstrumentState s;
    s.scope.CH_D1 = s.scope.CH_D2 = s.scope.CH_D3 = s.scope.CH_D4 = false;
    s.system.UiDeviceType = 0x21; // no A2 input; A2 not shown
    s.scope.timeBase = timeBaseIndexOf(20);
    auto d = computeDerived(s);
    EXPECT_TRUE(d.EtsDown);
    EXPECT_FALSE(d.tPlusEnabled);
    EXPECT_GE(d.Points, 5000);

    s.scope.CH_D1 = true; // a digital channel shown: held up
    EXPECT_FALSE(computeDerived(s).EtsDown);

    s.scope.Strobo = true; // the user's choice holds
    s.scope.StroboByHand = true;
    EXPECT_TRUE(computeDerived(s).EtsDown);

    s.scope.timeBase = timeBaseIndexOf(1000); // hidden: the mark goes
    d = computeDerived(s);
    EXPECT_FALSE(d.stroboVisible);
    EXPECT_FALSE(s.scope.StroboByHand);
    EXPECT_FALSE(d.EtsDown);
}

TEST(Derived, RollScrollAndCodes) {
    InstrumentState s;
    s.scope.timeBase = timeBaseIndexOf(100'000'000);
    s.scope.Lenta = true;
    auto d = computeDerived(s);
    EXPECT_TRUE(d.RollMode);
    EXPECT_TRUE(d.ScrollActive);
    s.trigger.On = true;
    EXPECT_FALSE(computeDerived(s).RollMode);

    s.scope.fmSource = kx::core::FreqMeterSource::Trig;
    s.trigger.Src = 3;
    s.scope.fmMode = kx::core::FreqMeterMode::Period;
    s.scope.wps = 0;
    s.scope.A1.probe = 2;
    d = computeDerived(s);
    EXPECT_EQ(d.FreqMeterCode, 0x10 + 10);
    EXPECT_EQ(d.MinFramePeriodMs, 125);
    EXPECT_EQ(d.MicroVoltsA1, 20'000'000);
    EXPECT_EQ(d.ThresholdD123mV, 1650);
}

} // namespace
