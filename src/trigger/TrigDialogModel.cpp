// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TrigDialogModel.h"

#include "trigger/TriggerTexts.h"

#include <algorithm>

namespace kx::trigger {

using namespace core;

namespace {

// Kinds of the button pairs, in button order.
constexpr std::array<std::int32_t, kCondButtonCount / 2> kPairKinds{
    kTrigModePulseWidth, kTrigModePeriod,       kTrigModeRunt,  kTrigModeSlew,
    kTrigModePulseNTime, kTrigModePulseNLevels, kTrigModeVideo,
};

constexpr std::int32_t kVideoLines = 625;
constexpr std::int32_t kPulseCountMax = 1000;
// "0.1 Div": a video signal needs a little hysteresis on its sync edges.
constexpr std::int32_t kVideoHyst = 1;

bool validButton(int button) {
    return button >= 0 && button < kCondButtonCount;
}

std::int32_t levelBit(int channel) {
    return 1 << channel;
}

Mark markOf(std::int32_t mask, std::int32_t levels, int channel) {
    const std::int32_t bit = levelBit(channel);
    if (!(mask & bit)) return Mark::Unchecked;
    return (levels & bit) ? Mark::Checked : Mark::Grayed;
}

void setLevel(TriggerState& t, int channel, int mark) {
    const std::int32_t bit = levelBit(channel);
    t.Lev_Mask &= ~bit;
    t.Levels &= ~bit;
    if (mark == static_cast<int>(Mark::Checked)) {
        t.Lev_Mask |= bit;
        t.Levels |= bit;
    } else if (mark == static_cast<int>(Mark::Grayed)) {
        t.Lev_Mask |= bit;
    }
}

// Level channels whose check box can be used: shown, and not the trigger source.
std::int32_t enabledLevelChannels(const TriggerState& t, bool a2Channel) {
    std::int32_t bits = 0x3F & ~levelBit(std::clamp(t.Src, 0, 5));
    if (!a2Channel) bits &= ~static_cast<std::int32_t>(kLevBitA2);
    return bits;
}

} // namespace

std::int32_t kindOfButton(int button) {
    if (!validButton(button)) return kTrigModeNone;
    return kPairKinds[static_cast<std::size_t>(button / 2)];
}

bool isFallingForm(int button) {
    return validButton(button) && button % 2 == 1;
}

int pressedButton(std::int32_t mode, bool edgeDown) {
    for (std::size_t pair = 0; pair < kPairKinds.size(); ++pair)
        if (kPairKinds[pair] == mode) return static_cast<int>(pair) * 2 + (edgeDown ? 1 : 0);
    return kNoButton;
}

std::int32_t countLimit(std::int32_t mode) {
    return mode == kTrigModeVideo ? kVideoLines : kPulseCountMax;
}

void setTmin(TriggerState& t, std::int32_t position) {
    t.Tmin = std::clamp(position, 0, kTminMax);
    if (t.Tmin >= t.Tmax) t.Tmax = t.Tmin + 1;
}

void setTmax(TriggerState& t, std::int32_t position) {
    t.Tmax = std::clamp(position, 1, kTmaxMax);
    if (t.Tmax <= t.Tmin) t.Tmin = t.Tmax - 1;
}

ControlEffect applyControl(TriggerState& t, TrigControl control, int value) {
    ControlEffect e;
    e.raiseTriggerChanged = true;
    switch (control) {
    case TrigControl::PreTrig:
        t.Pre = std::clamp(value, 0, 9);
        e.raiseTriggerChanged = false;
        break;
    case TrigControl::NoiseReject:
        t.Hyst = std::clamp(value, 0, 9);
        e.raiseTriggerChanged = false;
        break;
    case TrigControl::ThresholdD123:
        t.D123_Lev = std::clamp(value, 0, kThresholdMax);
        if (t.Same_Lev) t.D4_Lev = t.D123_Lev;
        e.raiseTriggerChanged = false;
        break;
    case TrigControl::ThresholdD4:
        t.D4_Lev = std::clamp(value, 0, kThresholdMax);
        if (t.Same_Lev) t.D123_Lev = t.D4_Lev;
        e.raiseTriggerChanged = false;
        break;
    case TrigControl::SameLev:
        t.Same_Lev = value != 0;
        if (t.Same_Lev) t.D4_Lev = t.D123_Lev;
        e.raiseTriggerChanged = false;
        break;
    case TrigControl::Condition: {
        const bool wasVideo = t.Mode == kTrigModeVideo;
        const std::int32_t kind = kindOfButton(value);
        if (kind == kTrigModeVideo && !wasVideo) {
            t.Hyst = kVideoHyst;
            t.Lev_Mask = 0;
            t.Levels = 0;
        }
        t.Mode = kind;
        // With every button up there is no form to take the edge from: the edge stays.
        if (kind != kTrigModeNone) t.Edge = isFallingForm(value);
        // The video buttons leave the trigger unit's state alone, also when released.
        e.raiseTriggerChanged = kind == kTrigModeVideo ? false : !(kind == kTrigModeNone && wasVideo);
        break;
    }
    case TrigControl::TimeMode:
        t.T_Mode = std::clamp(value, 0, 2);
        break;
    case TrigControl::Tmin:
        setTmin(t, value);
        break;
    case TrigControl::Tmax:
        setTmax(t, value);
        break;
    case TrigControl::Range:
        t.Tmult = std::clamp(value, 0, 5);
        break;
    case TrigControl::LevelA1:
    case TrigControl::LevelA2:
    case TrigControl::LevelD1:
    case TrigControl::LevelD2:
    case TrigControl::LevelD3:
    case TrigControl::LevelD4:
        setLevel(t, static_cast<int>(control) - static_cast<int>(TrigControl::LevelA1), value);
        break;
    case TrigControl::Count:
        t.Extra_N = value;
        break;
    }
    // The count scroll bar's range follows the kind.
    t.Extra_N = std::clamp(t.Extra_N, 1, countLimit(t.Mode));
    return e;
}

TrigDialogView viewOf(const TriggerState& t, bool a2Channel, bool russian) {
    TrigDialogView v;
    v.preTrig = std::clamp(t.Pre, 0, 9);
    v.noiseReject = std::clamp(t.Hyst, 0, 9);
    v.thresholdD123 = std::clamp(t.D123_Lev, 0, kThresholdMax);
    v.thresholdD4 = std::clamp(t.D4_Lev, 0, kThresholdMax);
    v.sameLev = t.Same_Lev;
    v.labelLevD123 = thresholdLabelD123(t.D123_Lev);
    v.labelLevD4 = thresholdLabelD4(t.D4_Lev);

    v.pressed = pressedButton(t.Mode, t.Edge);
    const bool analogSource = t.Src == 0 || t.Src == 1;
    for (int b = 0; b < kCondButtonCount; ++b) {
        const std::int32_t kind = kindOfButton(b);
        v.buttonEnabled[static_cast<std::size_t>(b)] =
            analogSource || (kind != kTrigModeRunt && kind != kTrigModeSlew);
    }
    v.labelTrigMode = modeLabel(t.Mode, t.Src, russian);

    v.timeMode = static_cast<Mark>(std::clamp(t.T_Mode, 0, 2));
    v.timeModeEnabled = t.Mode != kTrigModePulseNLevels && t.Mode != kTrigModeVideo;
    v.timeModeText = timeConditionText(t, russian);
    v.tmin = std::clamp(t.Tmin, 0, kTminMax);
    v.tmax = std::clamp(t.Tmax, 1, kTmaxMax);
    v.range = std::clamp(t.Tmult, 0, 5);
    v.limitsEnabled = v.timeModeEnabled && v.timeMode != Mark::Unchecked;

    const std::int32_t usable = enabledLevelChannels(t, a2Channel);
    for (int c = 0; c < 6; ++c) {
        const auto i = static_cast<std::size_t>(c);
        v.level[i] = markOf(t.Lev_Mask, t.Levels, c);
        v.levelEnabled[i] = (usable & levelBit(c)) != 0;
        v.levelVisible[i] = c != 1 || a2Channel;
        v.levelText[i] = levelBoxText(c, t.Lev_Mask, t.Levels);
    }
    v.labelLev = enableLabel(t.Lev_Mask, t.Levels, usable);

    const bool levelCondition = (t.Lev_Mask & usable) != 0;
    v.countMax = countLimit(t.Mode);
    v.count = std::clamp(t.Extra_N, 1, v.countMax);
    v.countEnabled = (t.Mode == kTrigModePulseNTime && t.T_Mode != kTimeModeAny) ||
                     (t.Mode == kTrigModePulseNLevels && levelCondition) || t.Mode == kTrigModeVideo;
    TriggerState shown = t;
    shown.Extra_N = v.count;
    v.labelCount = countLabel(shown, levelCondition, russian);
    return v;
}

TrigDialogSnapshot snapshotOf(const InstrumentState& s) {
    return {s.trigger, {s.scope.CH_D1, s.scope.CH_D2, s.scope.CH_D3, s.scope.CH_D4}};
}

CancelEffect cancel(const TrigDialogSnapshot& opened, InstrumentState& now) {
    const TriggerState& was = opened.trigger;
    TriggerState& t = now.trigger;
    CancelEffect e;
    // The condition fields, and the two main-window fields that raise the flag there too.
    e.raiseTriggerChanged = t.Tmin != was.Tmin || t.Tmax != was.Tmax || t.Tmult != was.Tmult ||
                            t.T_Mode != was.T_Mode || t.Levels != was.Levels || t.Lev_Mask != was.Lev_Mask ||
                            t.Extra_N != was.Extra_N || t.Mode != was.Mode || t.Edge != was.Edge ||
                            t.Src != was.Src || t.TPLUS != was.TPLUS;
    const std::array<bool, 4> view{now.scope.CH_D1, now.scope.CH_D2, now.scope.CH_D3, now.scope.CH_D4};
    // "=" alone changes nothing the instrument knows.
    e.settingsChanged = e.raiseTriggerChanged || t.Pre != was.Pre || t.Hyst != was.Hyst ||
                        t.D123_Lev != was.D123_Lev || t.D4_Lev != was.D4_Lev || view != opened.digitalView ||
                        t.On != was.On || t.Auto != was.Auto || t.Lev_A1 != was.Lev_A1 ||
                        t.Lev_A2 != was.Lev_A2;

    t = was;
    now.scope.CH_D1 = opened.digitalView[0];
    now.scope.CH_D2 = opened.digitalView[1];
    now.scope.CH_D3 = opened.digitalView[2];
    now.scope.CH_D4 = opened.digitalView[3];
    return e;
}

} // namespace kx::trigger
