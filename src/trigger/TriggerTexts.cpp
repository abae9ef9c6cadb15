// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerTexts.h"

#include "core/NumberFormat.h"
#include "trigger/TrigDialogModel.h"

#include <algorithm>

namespace kx::trigger {

using namespace core;

namespace {

constexpr TextPair kModePulse{"Pulse Time Trigger", "Синхронизация по длительности импульса"};
constexpr TextPair kModePeriod{"Period Trigger", "Синхронизация по периоду"};
constexpr TextPair kModeRunt{"Runt Time Trigger", "Синхронизация по длительности ранта"};
constexpr TextPair kModeSlew{"Slew Time Trigger", "Синхронизация по длительности перепада"};
constexpr TextPair kModeNotForD{"Not applicable to D chanel (T = 0)",
                                "Неприменимо к цифровому каналу (T = 0)"};
constexpr TextPair kModePulseNTime{"Pulse N Trigger (T separated)",
                                   "По номеру импульса с разделением временем T"};
constexpr TextPair kModePulseNLevels{"Pulse N Trigger (En separated)",
                                     "По номеру импульса с разделением сигналом En"};
constexpr TextPair kModeVideo{"Video Line Trigger (PAL/SECAM/NTSC)", "По номеру строки видео PAL/SECAM/NTSC"};

constexpr TextPair kTNotApplicable{"T - Not applicable in this mode", "T - Неприменимо в данном режиме"};
constexpr TextPair kTAny{"T = any", "T не учитывается"};
constexpr TextPair kNeverTrue{" - never true", " - невыполнимо"};
constexpr TextPair kAlwaysTrue{" - always true", " - всегда верно"};
constexpr TextPair kTInside{"T inside   ", "T в интервале   "};
constexpr TextPair kTOutside{"T outside   ", "T вне интервала   "};

constexpr TextPair kNoTime{"(Always true. T should be defined)", "(Всегда верно. T должно быть задано)"};
constexpr TextPair kNoLevels{"(Never true. En should be defined)", "(Невыполнимо. En должен быть задан)"};
constexpr TextPair kVideoLine{"Video Line = ", "Номер строки видеосигнала = "};
constexpr TextPair kNNotApplicable{"N - Not applicable in this mode", "N - Неприменимо в данном режиме"};

// Video line numbers above the last PAL line are NTSC lines of the second field.
constexpr std::int32_t kPalLines = 525;

std::string voltage(std::int32_t threshold10mV) {
    return formatNumber(threshold10mV * 10000.0, UnitType::Voltage, 8);
}

// A limit position in whole nanoseconds: p x 10^r x 5 ns.
std::int64_t limitNs(std::int32_t position, std::int32_t range) {
    std::int64_t ns = 5 * static_cast<std::int64_t>(position);
    for (std::int32_t i = 0; i < range; ++i) ns *= 10;
    return ns;
}

} // namespace

std::string thresholdLabelD123(std::int32_t threshold10mV) {
    return "D1 - D3 = " + voltage(threshold10mV);
}

std::string thresholdLabelD4(std::int32_t threshold10mV) {
    return "D4 = " + voltage(threshold10mV);
}

std::string modeLabel(std::int32_t mode, std::int32_t source, bool russian) {
    const bool digitalSource = source >= 2;
    switch (mode) {
    case kTrigModePulseWidth:
        return kModePulse.pick(russian);
    case kTrigModePeriod:
        return kModePeriod.pick(russian);
    case kTrigModeRunt:
        return (digitalSource ? kModeNotForD : kModeRunt).pick(russian);
    case kTrigModeSlew:
        return (digitalSource ? kModeNotForD : kModeSlew).pick(russian);
    case kTrigModePulseNTime:
        return kModePulseNTime.pick(russian);
    case kTrigModePulseNLevels:
        return kModePulseNLevels.pick(russian);
    case kTrigModeVideo:
        return kModeVideo.pick(russian);
    default:
        return {};
    }
}

std::string timeConditionText(const TriggerState& t, bool russian) {
    if (t.Mode == kTrigModePulseNLevels || t.Mode == kTrigModeVideo) return kTNotApplicable.pick(russian);
    if (t.T_Mode == kTimeModeAny) return kTAny.pick(russian);

    // The scroll bars show positions in their ranges whatever a settings file held.
    const std::int32_t range = std::clamp(t.Tmult, 0, 5);
    const std::int64_t lo = limitNs(std::clamp(t.Tmin, 0, kTminMax), range);
    const std::int64_t hi = limitNs(std::clamp(t.Tmax, 1, kTmaxMax), range);
    // The shortest time the hardware tells apart for the kind.
    const std::int64_t min0 = t.Mode == kTrigModePeriod ? 10 : (t.Mode == kTrigModeSlew ? 0 : 5);
    const bool inside = t.T_Mode == kTimeModeInside;
    const int precision = range + 4;
    auto time = [precision](std::int64_t ns) {
        return formatNumber(static_cast<double>(ns), UnitType::Time, precision);
    };

    const bool degenerate = min0 >= hi;
    if (degenerate || (min0 >= lo && (!inside || t.Mode == kTrigModeSlew))) {
        std::string text = (inside ? " T < " : " T >= ") + time(hi);
        if (degenerate) text += (inside ? kNeverTrue : kAlwaysTrue).pick(russian);
        return text;
    }
    return (inside ? kTInside : kTOutside).pick(russian) + time(std::max(lo, min0)) + " ... " + time(hi);
}

std::string levelBoxText(int channel, std::int32_t mask, std::int32_t levels) {
    const int c = std::clamp(channel, 0, 5);
    std::string text = kChannelNames[static_cast<std::size_t>(c)];
    const std::int32_t bit = 1 << c;
    if (mask & bit) text += (levels & bit) ? "=1" : "=0";
    return text;
}

std::string enableLabel(std::int32_t mask, std::int32_t levels, std::int32_t enabledChannels) {
    std::string terms;
    for (int c = 0; c < 6; ++c) {
        const std::int32_t bit = 1 << c;
        if (!(mask & bit) || !(enabledChannels & bit)) continue;
        if (!terms.empty()) terms += " && ";
        if (!(levels & bit)) terms += "~";
        terms += kChannelNames[static_cast<std::size_t>(c)];
    }
    return "En = " + (terms.empty() ? std::string("1") : terms);
}

std::string countLabel(const TriggerState& t, bool levelCondition, bool russian) {
    const std::string n = std::to_string(t.Extra_N);
    switch (t.Mode) {
    case kTrigModePulseNTime:
        if (t.T_Mode != kTimeModeAny) return "N = " + n;
        return std::string("N = 1 ") + kNoTime.pick(russian);
    case kTrigModePulseNLevels:
        if (levelCondition) return "N = " + n;
        return std::string("N = ... ") + kNoLevels.pick(russian);
    case kTrigModeVideo: {
        std::string text = kVideoLine.pick(russian) + n;
        if (t.Extra_N > kPalLines) text += "  (NTSC  " + std::to_string(t.Extra_N - kPalLines) + ")";
        return text;
    }
    default:
        return kNNotApplicable.pick(russian);
    }
}

} // namespace kx::trigger
