// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerRegisters.h"

#include <gtest/gtest.h>

#include <limits>

namespace kx::trigger {
namespace {

using core::TriggerState;

TEST(LevelThresholds, RoundingClampingAndHysteresis) {
    struct Case {
        double level;
        int hyst;
        int lower, upper;
    };
    const Case cases[] = {
        {0xC000, 2, 189, 195}, // the zero line of A1
        {0, 0, 1, 0},          // no room below: lower 1
        {0xFFFF, 9, 199, 255}, // 65535 / 256 rounds to 256, clamped to 255
        {511.0, 1, 1, 4},      // 1.996 rounds to 2: 2 - 2 is not above h, so 1
        {127.9, 0, 1, 0},      // 0.4996 rounds to 0
        {128.0, 0, 1, 1},      // 0.5 rounds away from zero
        {0x8000, 4, 112, 144}, {-500.0, 3, 1, 8},
        {0x8000, 42, 72, 184}, // index beyond the table is taken as 9
    };
    for (const auto& c : cases) {
        const LevelThresholds t = levelThresholds(c.level, c.hyst);
        EXPECT_EQ(t.lower, c.lower) << c.level << " " << c.hyst;
        EXPECT_EQ(t.upper, c.upper) << c.level << " " << c.hyst;
    }
    const LevelThresholds nan = levelThresholds(std::numeric_limits<double>::quiet_NaN(), 2);
    EXPECT_EQ(nan.lower, 1);
    EXPECT_EQ(nan.upper, 3);
}

TEST(DigitalThreshold, DacCodes) {
    EXPECT_EQ(digitalThresholdCode(165), 8192); // 1.65 V
    EXPECT_EQ(digitalThresholdCode(0), 0);
    EXPECT_EQ(digitalThresholdCode(1300), 64543);   // 13 V * 0.25 * 65536 / 3.3 = 64542.9
    EXPECT_EQ(digitalThresholdCode(100000), 65535); // out of range is limited
    EXPECT_EQ(digitalThresholdCode(-5), 0);
}

struct ModeCase {
    int mode;
    int tmode;
    bool edge;
    bool tplus;
    bool ets;
    std::uint8_t modeBits;
    std::uint8_t condFlags;
};

TEST(TriggerRegisters, ModeAndConditionFlags) {
    const ModeCase cases[] = {
        {0, 0, false, true, false, 0x00, 0x00},
        {1, 0, false, true, false, 0x00, 0x00},
        {1, 1, false, true, false, 0x18, 0x00},
        {1, 2, false, true, false, 0x08, 0x00},
        {2, 1, false, true, false, 0x38, 0x00},
        {3, 0, false, true, false, 0x60, 0x01},
        {3, 0, true, true, false, 0x60, 0x02},
        {4, 2, false, true, false, 0x48, 0x00},
        {5, 0, false, true, false, 0x00, 0x00},
        {5, 1, false, true, false, 0x18, 0x20},
        {6, 1, false, true, false, 0x00, 0x60}, // kind 6 has no time condition bits
        {10, 0, false, true, false, 0x20, 0x10},
        // T+ up: only the kind classes go out.
        {3, 1, true, false, false, 0x60, 0x00},
        {10, 0, false, false, false, 0x20, 0x00},
        // ETS down disables T+ altogether.
        {2, 1, false, true, true, 0x20, 0x00},
        {6, 1, false, true, true, 0x00, 0x00},
    };
    for (const auto& c : cases) {
        TriggerState t;
        t.Mode = c.mode;
        t.T_Mode = c.tmode;
        t.Edge = c.edge;
        t.TPLUS = c.tplus;
        const TriggerRegisters r = computeTriggerRegisters(t, c.ets);
        EXPECT_EQ(r.modeBits, c.modeBits) << "mode " << c.mode << " T " << c.tmode << " T+ " << c.tplus;
        EXPECT_EQ(r.condFlags, c.condFlags) << "mode " << c.mode << " T " << c.tmode << " T+ " << c.tplus;
    }
}

TEST(TriggerRegisters, TimeLimitsOnlyForTimedKindsWhileActive) {
    TriggerState t;
    t.TPLUS = true;
    t.Mode = core::kTrigModePulseWidth;
    t.Tmin = 1999;
    t.Tmax = 2000;
    t.Tmult = 5;
    TriggerRegisters r = computeTriggerRegisters(t, false);
    ASSERT_TRUE(r.timeLow && r.timeHigh);
    EXPECT_EQ(*r.timeLow, 199900000u);
    EXPECT_EQ(*r.timeHigh, 200000000u);
    t.Tmult = 0;
    t.Tmin = 7;
    r = computeTriggerRegisters(t, false);
    EXPECT_EQ(*r.timeLow, 7u);

    for (int mode : {0, 6, 10}) {
        t.Mode = mode;
        EXPECT_FALSE(computeTriggerRegisters(t, false).timeLow) << mode;
    }
    t.Mode = core::kTrigModeSlew;
    EXPECT_FALSE(computeTriggerRegisters(t, true).timeLow);
    t.TPLUS = false;
    EXPECT_FALSE(computeTriggerRegisters(t, false).timeHigh);
}

TEST(TriggerRegisters, PulseCountMaskAndLevels) {
    struct Case {
        int mode;
        int tmode;
        int src;
        int mask;
        bool tplus;
        std::uint16_t count;
    };
    const Case cases[] = {
        {5, 1, 0, 0, true, 37},    {5, 0, 0, 0, true, 1},
        {10, 0, 0, 0, true, 37},   {6, 0, 2, 0x04, true, 1}, // the mask names only the source itself
        {6, 0, 2, 0x05, true, 37}, {6, 0, 0, 0x00, true, 1},
        {1, 1, 0, 0x3F, true, 1},  {5, 1, 0, 0, false, 1}, // T+ up
    };
    for (const auto& c : cases) {
        TriggerState t;
        t.Mode = c.mode;
        t.T_Mode = c.tmode;
        t.Src = c.src;
        t.Lev_Mask = c.mask;
        t.Levels = 0x21;
        t.TPLUS = c.tplus;
        t.Extra_N = 37;
        const TriggerRegisters r = computeTriggerRegisters(t, false);
        EXPECT_EQ(r.pulseCount, c.count) << c.mode << " src " << c.src << " mask " << c.mask;
        EXPECT_EQ(r.levelMask, c.tplus ? c.mask : 0);
        EXPECT_EQ(r.levelPolarity, c.tplus ? 0x21 : 0);
    }
}

TEST(TriggerRegisters, DefaultsGiveZeroLineThresholds) {
    const TriggerRegisters r = computeTriggerRegisters(TriggerState{}, false);
    EXPECT_EQ(r.a1.lower, 189);
    EXPECT_EQ(r.a1.upper, 195);
    EXPECT_EQ(r.a2.lower, 61);
    EXPECT_EQ(r.a2.upper, 67);
    EXPECT_EQ(r.d123Code, 8192);
    EXPECT_EQ(r.d4Code, 8192);
    EXPECT_EQ(r.pulseCount, 1);
}

} // namespace
} // namespace kx::trigger
