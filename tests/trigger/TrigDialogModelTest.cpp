// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TrigDialogModel.h"
#include "trigger/TriggerRegisters.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kx::trigger {
namespace {

using core::InstrumentState;
using core::TriggerState;

auto fields(const TriggerState& t) {
    return std::make_tuple(t.On, t.Src, t.Edge, t.Auto, t.TPLUS, t.Lev_A1, t.Lev_A2, t.Pre, t.Hyst, t.Mode,
                           t.T_Mode, t.Tmin, t.Tmax, t.Tmult, t.Lev_Mask, t.Levels, t.Extra_N, t.D123_Lev,
                           t.D4_Lev, t.Same_Lev);
}

constexpr int button(CondButton b) {
    return static_cast<int>(b);
}

TEST(TrigDialogButtons, KindAndFormRoundTrip) {
    for (int b = 0; b < kCondButtonCount; ++b)
        EXPECT_EQ(pressedButton(kindOfButton(b), isFallingForm(b)), b) << b;
    // Video is the one pair whose falling form has the plain name.
    EXPECT_EQ(pressedButton(10, true), button(CondButton::Video));
    EXPECT_EQ(pressedButton(10, false), button(CondButton::Video_Inv));
    EXPECT_EQ(pressedButton(6, false), button(CondButton::Extra2_Rise));
    EXPECT_EQ(pressedButton(0, true), kNoButton);
    EXPECT_EQ(kindOfButton(kNoButton), 0);
    EXPECT_EQ(kindOfButton(kCondButtonCount), 0);
}

TEST(TrigDialogControls, WhichControlsRaiseTheTriggerFlag) {
    struct Case {
        TrigControl control;
        int value;
        int modeBefore;
        bool raise;
    };
    const Case cases[] = {
        {TrigControl::PreTrig, 3, 1, false},
        {TrigControl::NoiseReject, 4, 1, false},
        {TrigControl::ThresholdD123, 200, 1, false},
        {TrigControl::ThresholdD4, 200, 1, false},
        {TrigControl::SameLev, 1, 1, false},
        {TrigControl::Condition, button(CondButton::Video), 1, false},
        {TrigControl::Condition, button(CondButton::Video_Inv), 10, false},
        {TrigControl::Condition, kNoButton, 10, false}, // releasing a video button
        {TrigControl::Condition, kNoButton, 2, true},
        {TrigControl::Condition, button(CondButton::Fall_Runt), 10, true},
        {TrigControl::TimeMode, 1, 1, true},
        {TrigControl::Tmin, 10, 1, true},
        {TrigControl::Tmax, 10, 1, true},
        {TrigControl::Range, 4, 1, true},
        {TrigControl::LevelA1, 1, 1, true},
        {TrigControl::LevelD4, 2, 1, true},
        {TrigControl::Count, 5, 5, true},
    };
    for (const Case& c : cases) {
        TriggerState t;
        t.Mode = c.modeBefore;
        EXPECT_EQ(applyControl(t, c.control, c.value).raiseTriggerChanged, c.raise)
            << static_cast<int>(c.control) << " " << c.value;
    }
}

TEST(TrigDialogControls, VideoPressResetsNoiseRejectAndLevelsOnce) {
    TriggerState t;
    t.Hyst = 5;
    t.Lev_Mask = 0x05;
    t.Levels = 0x01;
    t.Extra_N = 700;
    applyControl(t, TrigControl::Condition, button(CondButton::Video));
    EXPECT_EQ(t.Mode, 10);
    EXPECT_TRUE(t.Edge);
    EXPECT_EQ(t.Hyst, 1);
    EXPECT_EQ(t.Lev_Mask, 0);
    EXPECT_EQ(t.Levels, 0);
    EXPECT_EQ(t.Extra_N, 625); // the last video line

    // Already video: the other form keeps what the user set since.
    t.Hyst = 4;
    t.Lev_Mask = 0x08;
    t.Levels = 0x08;
    applyControl(t, TrigControl::Condition, button(CondButton::Video_Inv));
    EXPECT_EQ(t.Mode, 10);
    EXPECT_FALSE(t.Edge);
    EXPECT_EQ(t.Hyst, 4);
    EXPECT_EQ(t.Lev_Mask, 0x08);
    EXPECT_EQ(t.Levels, 0x08);

    // A pulse count allows more than a video line, but the count is not raised again.
    applyControl(t, TrigControl::Condition, button(CondButton::Extra_Fall));
    EXPECT_EQ(t.Mode, 5);
    EXPECT_TRUE(t.Edge);
    EXPECT_EQ(t.Extra_N, 625);
    applyControl(t, TrigControl::Count, 900);
    EXPECT_EQ(t.Extra_N, 900);
}

TEST(TrigDialogControls, ConditionButtonsSetKindAndEdge) {
    TriggerState t;
    t.Edge = false;
    applyControl(t, TrigControl::Condition, button(CondButton::Fall_Per));
    EXPECT_EQ(t.Mode, 2);
    EXPECT_TRUE(t.Edge);
    applyControl(t, TrigControl::Condition, button(CondButton::Rise_Slew));
    EXPECT_EQ(t.Mode, 4);
    EXPECT_FALSE(t.Edge);
    // All buttons up: no condition, and the edge chosen in the main window stays.
    t.Edge = true;
    applyControl(t, TrigControl::Condition, kNoButton);
    EXPECT_EQ(t.Mode, 0);
    EXPECT_TRUE(t.Edge);
    applyControl(t, TrigControl::Condition, 99);
    EXPECT_EQ(t.Mode, 0);
}

TEST(TrigDialogControls, TimeLimitsPushAndPull) {
    struct Case {
        int tmin, tmax;
        TrigControl control;
        int value;
        int wantMin, wantMax;
    };
    const Case cases[] = {
        {1000, 1200, TrigControl::Tmin, 1100, 1100, 1200}, {1000, 1200, TrigControl::Tmin, 1200, 1200, 1201},
        {1000, 1200, TrigControl::Tmin, 1999, 1999, 2000}, {1000, 1200, TrigControl::Tmin, 2500, 1999, 2000},
        {1000, 1200, TrigControl::Tmin, -3, 0, 1200},      {1000, 1200, TrigControl::Tmax, 1001, 1000, 1001},
        {1000, 1200, TrigControl::Tmax, 1000, 999, 1000},  {1000, 1200, TrigControl::Tmax, 1, 0, 1},
        {1000, 1200, TrigControl::Tmax, 0, 0, 1},          {1000, 1200, TrigControl::Tmax, 5000, 1000, 2000},
    };
    for (const Case& c : cases) {
        TriggerState t;
        t.Tmin = c.tmin;
        t.Tmax = c.tmax;
        applyControl(t, c.control, c.value);
        EXPECT_EQ(t.Tmin, c.wantMin) << static_cast<int>(c.control) << " " << c.value;
        EXPECT_EQ(t.Tmax, c.wantMax) << static_cast<int>(c.control) << " " << c.value;
    }
}

TEST(TrigDialogControls, PushedLimitsReachTheRegisters) {
    TriggerState t;
    t.TPLUS = true;
    t.Mode = 1;
    t.T_Mode = 1;
    t.Tmin = 1500;
    t.Tmax = 1600;
    applyControl(t, TrigControl::Range, 5);
    applyControl(t, TrigControl::Tmin, 1999);
    const TriggerRegisters r = computeTriggerRegisters(t, false);
    ASSERT_TRUE(r.timeLow && r.timeHigh);
    EXPECT_EQ(*r.timeLow, 199'900'000u);
    EXPECT_EQ(*r.timeHigh, 200'000'000u);
    EXPECT_EQ(viewOf(t, true, false).timeModeText, "T inside   999.5 mS ... 1.0000 S");
}

TEST(TrigDialogControls, DigitalThresholdsFollowEachOtherWithSameLev) {
    TriggerState t;
    applyControl(t, TrigControl::ThresholdD123, 300);
    EXPECT_EQ(t.D123_Lev, 300);
    EXPECT_EQ(t.D4_Lev, 165);
    applyControl(t, TrigControl::SameLev, 1);
    EXPECT_EQ(t.D4_Lev, 300);
    applyControl(t, TrigControl::ThresholdD4, 90);
    EXPECT_EQ(t.D123_Lev, 90);
    applyControl(t, TrigControl::ThresholdD123, 5000);
    EXPECT_EQ(t.D123_Lev, 1300);
    EXPECT_EQ(t.D4_Lev, 1300);
    applyControl(t, TrigControl::SameLev, 0);
    applyControl(t, TrigControl::ThresholdD4, 10);
    EXPECT_EQ(t.D123_Lev, 1300);
    EXPECT_EQ(t.D4_Lev, 10);
}

TEST(TrigDialogControls, LevelBoxesAndLimitedValues) {
    TriggerState t;
    applyControl(t, TrigControl::LevelD1, static_cast<int>(Mark::Checked));
    applyControl(t, TrigControl::LevelA2, static_cast<int>(Mark::Grayed));
    EXPECT_EQ(t.Lev_Mask, 0x06);
    EXPECT_EQ(t.Levels, 0x04);
    applyControl(t, TrigControl::LevelD1, static_cast<int>(Mark::Grayed));
    EXPECT_EQ(t.Lev_Mask, 0x06);
    EXPECT_EQ(t.Levels, 0x00);
    applyControl(t, TrigControl::LevelA2, static_cast<int>(Mark::Unchecked));
    EXPECT_EQ(t.Lev_Mask, 0x04);
    applyControl(t, TrigControl::LevelD1, 7); // no such mark
    EXPECT_EQ(t.Lev_Mask, 0x00);

    struct Case {
        TrigControl control;
        int value;
        int TriggerState::*field;
        int want;
    };
    const Case cases[] = {
        {TrigControl::PreTrig, 42, &TriggerState::Pre, 9},
        {TrigControl::NoiseReject, -1, &TriggerState::Hyst, 0},
        {TrigControl::Range, 9, &TriggerState::Tmult, 5},
        {TrigControl::TimeMode, 5, &TriggerState::T_Mode, 2},
        {TrigControl::Count, 0, &TriggerState::Extra_N, 1},
        {TrigControl::Count, 5000, &TriggerState::Extra_N, 1000},
    };
    for (const Case& c : cases) {
        TriggerState s;
        applyControl(s, c.control, c.value);
        EXPECT_EQ(s.*c.field, c.want) << static_cast<int>(c.control);
    }
}

TEST(TrigDialogView, EnablingRules) {
    struct Case {
        int mode, tmode, src, mask;
        bool timeMode, limits, count;
    };
    const Case cases[] = {
        {1, 0, 0, 0, true, false, false},
        {1, 1, 0, 0, true, true, false},
        {2, 2, 3, 0, true, true, false},
        {5, 0, 0, 0, true, false, false},
        {5, 2, 0, 0, true, true, true},
        {6, 1, 0, 0x00, false, false, false},
        {6, 1, 0, 0x04, false, false, true},
        {6, 0, 2, 0x04, false, false, false}, // the only level box is the source's
        {10, 1, 0, 0, false, false, true},
        {0, 1, 0, 0, true, true, false},
    };
    for (const Case& c : cases) {
        TriggerState t;
        t.Mode = c.mode;
        t.T_Mode = c.tmode;
        t.Src = c.src;
        t.Lev_Mask = c.mask;
        const TrigDialogView v = viewOf(t, true, false);
        EXPECT_EQ(v.timeModeEnabled, c.timeMode) << c.mode << " " << c.tmode << " " << c.mask;
        EXPECT_EQ(v.limitsEnabled, c.limits) << c.mode << " " << c.tmode << " " << c.mask;
        EXPECT_EQ(v.countEnabled, c.count) << c.mode << " " << c.tmode << " " << c.mask;
    }
}

TEST(TrigDialogView, RuntWithDigitalSource) {
    TriggerState t;
    t.Src = 2;
    applyControl(t, TrigControl::Condition, button(CondButton::Rise_Runt));
    const TrigDialogView v = viewOf(t, true, false);
    EXPECT_EQ(v.labelTrigMode, "Not applicable to D chanel (T = 0)");
    EXPECT_EQ(v.pressed, button(CondButton::Rise_Runt));
    for (int b = 0; b < kCondButtonCount; ++b) {
        const bool runtOrSlew = kindOfButton(b) == 3 || kindOfButton(b) == 4;
        EXPECT_EQ(v.buttonEnabled[static_cast<std::size_t>(b)], !runtOrSlew) << b;
    }
    // The source's own level box cannot take part.
    EXPECT_FALSE(v.levelEnabled[2]);
    EXPECT_TRUE(v.levelEnabled[0]);
    t.Src = 1;
    EXPECT_TRUE(viewOf(t, true, false).buttonEnabled[button(CondButton::Fall_Slew)]);
    EXPECT_EQ(viewOf(t, true, true).labelTrigMode, "Синхронизация по длительности ранта");
}

TEST(TrigDialogView, PulseNumberByLevelsNeedsALevel) {
    TriggerState t;
    t.Src = 0;
    applyControl(t, TrigControl::Condition, button(CondButton::Extra2_Rise));
    TrigDialogView v = viewOf(t, true, false);
    EXPECT_EQ(v.labelCount, "N = ... (Never true. En should be defined)");
    EXPECT_FALSE(v.countEnabled);
    EXPECT_EQ(v.labelLev, "En = 1");
    EXPECT_EQ(v.timeModeText, "T - Not applicable in this mode");

    // The source's own box does not make a level condition.
    applyControl(t, TrigControl::LevelA1, static_cast<int>(Mark::Checked));
    v = viewOf(t, true, false);
    EXPECT_FALSE(v.countEnabled);
    EXPECT_EQ(v.labelLev, "En = 1");
    EXPECT_EQ(v.levelText[0], "A1=1");

    applyControl(t, TrigControl::LevelD3, static_cast<int>(Mark::Grayed));
    applyControl(t, TrigControl::Count, 12);
    v = viewOf(t, true, false);
    EXPECT_TRUE(v.countEnabled);
    EXPECT_EQ(v.labelCount, "N = 12");
    EXPECT_EQ(v.labelLev, "En = ~D3");
    EXPECT_EQ(v.level[4], Mark::Grayed);
    EXPECT_EQ(v.levelText[4], "D3=0");
}

TEST(TrigDialogView, VideoLineAboveTheLastPalLine) {
    TriggerState t;
    applyControl(t, TrigControl::Condition, button(CondButton::Video));
    applyControl(t, TrigControl::Count, 600);
    const TrigDialogView v = viewOf(t, true, false);
    EXPECT_EQ(v.labelCount, "Video Line = 600  (NTSC  75)");
    EXPECT_EQ(v.countMax, 625);
    EXPECT_EQ(v.count, 600);
    EXPECT_TRUE(v.countEnabled);
    EXPECT_EQ(v.pressed, button(CondButton::Video));

    // A count from a settings file beyond the last line is shown at the scroll bar's end.
    t.Extra_N = 900;
    EXPECT_EQ(viewOf(t, true, false).count, 625);
    EXPECT_EQ(viewOf(t, true, false).labelCount, "Video Line = 625  (NTSC  100)");
}

TEST(TrigDialogView, StateToDialog) {
    TriggerState t;
    t.Pre = 7;
    t.Hyst = 3;
    t.D123_Lev = 50;
    t.D4_Lev = 200;
    t.Same_Lev = true;
    t.Mode = 2;
    t.Edge = true;
    t.T_Mode = 2;
    t.Tmin = 10;
    t.Tmax = 20;
    t.Tmult = 1;
    t.Lev_Mask = 0x22;
    t.Levels = 0x20;
    const TrigDialogView v = viewOf(t, true, false);
    EXPECT_EQ(v.preTrig, 7);
    EXPECT_EQ(v.noiseReject, 3);
    EXPECT_EQ(v.labelLevD123, "D1 - D3 = 500 mV");
    EXPECT_EQ(v.labelLevD4, "D4 = 2.00 V");
    EXPECT_TRUE(v.sameLev);
    EXPECT_EQ(v.pressed, button(CondButton::Fall_Per));
    EXPECT_EQ(v.timeMode, Mark::Grayed);
    EXPECT_EQ(v.range, 1);
    EXPECT_EQ(v.level[1], Mark::Grayed);
    EXPECT_EQ(v.level[5], Mark::Checked);
    EXPECT_EQ(v.level[0], Mark::Unchecked);
    EXPECT_EQ(v.levelText[0], "A1");
    EXPECT_EQ(v.labelLev, "En = ~A2 && D4");
    EXPECT_TRUE(v.levelVisible[1]);

    // Without an A2 channel its box is hidden and out of the condition.
    const TrigDialogView noA2 = viewOf(t, false, false);
    EXPECT_FALSE(noA2.levelVisible[1]);
    EXPECT_FALSE(noA2.levelEnabled[1]);
    EXPECT_EQ(noA2.labelLev, "En = D4");
}

class TrigDialogCancel : public ::testing::Test {
protected:
    InstrumentState opened;
    void SetUp() override {
        opened.trigger.Mode = 5;
        opened.trigger.T_Mode = 1;
        opened.trigger.Lev_Mask = 0x0C;
        opened.trigger.Levels = 0x04;
        opened.trigger.Extra_N = 40;
    }
};

TEST_F(TrigDialogCancel, OnlyPreTriggerChangedSendsAFrameWithoutTheFlag) {
    InstrumentState now = opened;
    const TrigDialogSnapshot snap = snapshotOf(now);
    applyControl(now.trigger, TrigControl::PreTrig, 2);
    const CancelEffect e = cancel(snap, now);
    EXPECT_EQ(now.trigger.Pre, 5);
    EXPECT_FALSE(e.raiseTriggerChanged);
    EXPECT_TRUE(e.settingsChanged);
}

TEST_F(TrigDialogCancel, EachFieldDecidesWhatFollows) {
    struct Case {
        const char* what;
        void (*change)(InstrumentState&);
        bool raise, notify;
    };
    const Case cases[] = {
        {"nothing", [](InstrumentState&) {}, false, false},
        {"Tmin", [](InstrumentState& s) { s.trigger.Tmin = 3; }, true, true},
        {"Tmax", [](InstrumentState& s) { s.trigger.Tmax = 1999; }, true, true},
        {"Tmult", [](InstrumentState& s) { s.trigger.Tmult = 0; }, true, true},
        {"T_Mode", [](InstrumentState& s) { s.trigger.T_Mode = 2; }, true, true},
        {"Levels", [](InstrumentState& s) { s.trigger.Levels = 0x0C; }, true, true},
        {"Lev_Mask", [](InstrumentState& s) { s.trigger.Lev_Mask = 0; }, true, true},
        {"Extra_N", [](InstrumentState& s) { s.trigger.Extra_N = 41; }, true, true},
        {"Mode", [](InstrumentState& s) { s.trigger.Mode = 10; }, true, true},
        {"Edge", [](InstrumentState& s) { s.trigger.Edge = true; }, true, true},
        {"Hyst", [](InstrumentState& s) { s.trigger.Hyst = 9; }, false, true},
        {"D123_Lev", [](InstrumentState& s) { s.trigger.D123_Lev = 1; }, false, true},
        {"D4_Lev", [](InstrumentState& s) { s.trigger.D4_Lev = 1; }, false, true},
        {"CH_D3", [](InstrumentState& s) { s.scope.CH_D3 = false; }, false, true},
        {"Same_Lev", [](InstrumentState& s) { s.trigger.Same_Lev = true; }, false, false},
    };
    for (const Case& c : cases) {
        InstrumentState now = opened;
        const TrigDialogSnapshot snap = snapshotOf(now);
        c.change(now);
        const CancelEffect e = cancel(snap, now);
        EXPECT_EQ(e.raiseTriggerChanged, c.raise) << c.what;
        EXPECT_EQ(e.settingsChanged, c.notify) << c.what;
        EXPECT_EQ(fields(now.trigger), fields(opened.trigger)) << c.what;
        EXPECT_TRUE(now.scope.CH_D3) << c.what;
    }
}

TEST_F(TrigDialogCancel, RestoresEverythingAfterASession) {
    InstrumentState now = opened;
    const TrigDialogSnapshot snap = snapshotOf(now);
    applyControl(now.trigger, TrigControl::Condition, button(CondButton::Video));
    applyControl(now.trigger, TrigControl::Count, 600);
    applyControl(now.trigger, TrigControl::SameLev, 1);
    applyControl(now.trigger, TrigControl::ThresholdD4, 700);
    applyControl(now.trigger, TrigControl::Tmax, 3);
    applyControl(now.trigger, TrigControl::LevelD4, static_cast<int>(Mark::Checked));
    const CancelEffect e = cancel(snap, now);
    EXPECT_TRUE(e.raiseTriggerChanged);
    EXPECT_TRUE(e.settingsChanged);
    EXPECT_EQ(fields(now.trigger), fields(opened.trigger));
}

} // namespace
} // namespace kx::trigger
