// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <array>
#include <cstdint>
#include <string>

namespace kx::trigger {

// The condition buttons of the trigger settings dialog: one group, at most one down. They come
// in pairs, the rising form first, for the kinds 1..6 and 10. For video the rising form is
// SpeedButton_Video_Inv and the falling one SpeedButton_Video.
enum class CondButton : int {
    Rise_Pul,
    Fall_Pul,
    Rise_Per,
    Fall_Per,
    Rise_Runt,
    Fall_Runt,
    Rise_Slew,
    Fall_Slew,
    Extra_Rise,
    Extra_Fall,
    Extra2_Rise,
    Extra2_Fall,
    Video_Inv,
    Video,
};
inline constexpr int kCondButtonCount = 14;
inline constexpr int kNoButton = -1;

// Condition kind of a button (kTrigModeNone for kNoButton or anything out of range).
std::int32_t kindOfButton(int button);
bool isFallingForm(int button);
// The button shown down for a kind and the main window's edge; kNoButton for kind 0.
int pressedButton(std::int32_t mode, bool edgeDown);

// Highest count the kind accepts: a pulse number or a video line.
std::int32_t countLimit(std::int32_t mode);

// Ranges of the dialog's scroll bars: the logic thresholds (10 mV) and the time limit positions.
inline constexpr std::int32_t kThresholdMax = 1300;
inline constexpr std::int32_t kTminMax = 1999;
inline constexpr std::int32_t kTmaxMax = 2000;

// A three-state check box; the values match "T_Mode" (0 any, 1 inside, 2 outside).
enum class Mark : std::uint8_t { Unchecked = 0, Checked = 1, Grayed = 2 };

enum class TrigControl {
    PreTrig,       // value 0..9
    NoiseReject,   // value 0..9
    ThresholdD123, // value 0..1300 (10 mV)
    ThresholdD4,   // value 0..1300 (10 mV)
    SameLev,       // value 0 up, 1 down
    Condition,     // value: the button down after the click, or kNoButton
    TimeMode,      // value: Mark
    Tmin,          // value 0..1999
    Tmax,          // value 1..2000
    Range,         // value 0..5 (Tmult)
    LevelA1,       // value: Mark; LevelA1 .. LevelD4 follow the order of the level bits
    LevelA2,
    LevelD1,
    LevelD2,
    LevelD3,
    LevelD4,
    Count, // value: scroll bar position
};

struct ControlEffect {
    bool raiseTriggerChanged = false;
};

// Dialog-to-state for one control: stores the value (out-of-range values are limited to the
// control's range) and what follows from it. The caller then refreshes the view and runs the
// settings-changed notification, raising the trigger-changed flag first when asked to.
ControlEffect applyControl(core::TriggerState& t, TrigControl control, int value);

// The limit scroll bars keep Tmin below Tmax: a lower limit at or above the upper one pushes
// the upper one up, an upper limit at or below the lower one pulls the lower one down.
void setTmin(core::TriggerState& t, std::int32_t position);
void setTmax(core::TriggerState& t, std::int32_t position);

// Everything the dialog shows for a state.
struct TrigDialogView {
    int preTrig = 0;
    int noiseReject = 0;
    int thresholdD123 = 0;
    int thresholdD4 = 0;
    bool sameLev = false;
    std::string labelLevD123;
    std::string labelLevD4;

    int pressed = kNoButton;
    std::array<bool, kCondButtonCount> buttonEnabled{};
    std::string labelTrigMode;

    Mark timeMode = Mark::Unchecked;
    bool timeModeEnabled = false;
    std::string timeModeText;
    int tmin = 0;
    int tmax = 1;
    int range = 0;
    bool limitsEnabled = false; // the limit scroll bars and the range buttons

    std::array<Mark, 6> level{};
    std::array<bool, 6> levelEnabled{};
    std::array<bool, 6> levelVisible{};
    std::array<std::string, 6> levelText;
    std::string labelLev;

    int count = 1;
    int countMax = 1000;
    bool countEnabled = false;
    std::string labelCount;
};

// State-to-dialog. `a2Channel`: the model has an A2 channel.
TrigDialogView viewOf(const core::TriggerState& t, bool a2Channel, bool russian);

// What the dialog restores on Cancel: the trigger fields (the edge and the thresholds among them)
// and the view items of D1..D4.
struct TrigDialogSnapshot {
    core::TriggerState trigger;
    std::array<bool, 4> digitalView{};
};
TrigDialogSnapshot snapshotOf(const core::InstrumentState& s);

struct CancelEffect {
    bool raiseTriggerChanged = false; // a condition differed
    bool settingsChanged = false;     // the instrument must hear of the restore
};
// Restores the state the dialog opened with and tells what must follow.
CancelEffect cancel(const TrigDialogSnapshot& opened, core::InstrumentState& now);

} // namespace kx::trigger
