// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerChange.h"

#include "trigger/TrigDialogModel.h"

#include <gtest/gtest.h>

namespace kx::trigger {
namespace {

// The flag apply-settings raises by comparison agrees, control by control, with the dialog's own
// rule of which controls raise it (when the control really changes something).
TEST(TriggerChange, ComparisonAgreesWithTheDialogControls) {
    struct Step {
        TrigControl control;
        int value;
        bool raises;
    };
    const int video = pressedButton(core::kTrigModeVideo, false);
    const int runtDown = pressedButton(core::kTrigModeRunt, true);
    const Step steps[] = {
        {TrigControl::PreTrig, 3, false},
        {TrigControl::NoiseReject, 7, false},
        {TrigControl::ThresholdD123, 200, false},
        {TrigControl::SameLev, 1, false},
        {TrigControl::Condition, runtDown, true},
        {TrigControl::TimeMode, 1, true},
        {TrigControl::Tmin, 500, true},
        {TrigControl::Tmax, 1500, true},
        {TrigControl::Range, 4, true},
        {TrigControl::LevelD2, 1, true},
        {TrigControl::Count, 12, true},
        {TrigControl::Condition, video, false},
        {TrigControl::Condition, kNoButton, false},
        {TrigControl::Condition, runtDown, true},
    };
    core::TriggerState t;
    TriggerMemo memo;
    EXPECT_TRUE(triggerChanged(t, memo)); // the first publication carries the flag
    EXPECT_FALSE(triggerChanged(t, memo));
    for (const Step& s : steps) {
        applyControl(t, s.control, s.value);
        EXPECT_EQ(triggerChanged(t, memo), s.raises) << static_cast<int>(s.control) << " " << s.value;
    }
}

TEST(TriggerChange, MainWindowControlsRaiseAlsoWhileVideoIsChosen) {
    core::TriggerState t;
    TriggerMemo memo;
    triggerChanged(t, memo);
    applyControl(t, TrigControl::Condition, pressedButton(core::kTrigModeVideo, false));
    EXPECT_FALSE(triggerChanged(t, memo));
    t.Src = 2;
    EXPECT_TRUE(triggerChanged(t, memo));
    t.TPLUS = !t.TPLUS;
    EXPECT_TRUE(triggerChanged(t, memo));
    t.Lev_A1 += 1000; // levels are not part of the condition
    EXPECT_FALSE(triggerChanged(t, memo));
}

} // namespace
} // namespace kx::trigger
