// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ScopeControls.h"

#include "core/ScopeTables.h"

#include <algorithm>

namespace kx::core {
namespace {

struct ChannelRefs {
    core::AnalogChannelState& ch;
    double& level;
    double& bgLevel;
    std::int32_t bgZero;
};

ChannelRefs refs(core::InstrumentState& s, AnalogInput c) {
    if (c == AnalogInput::A1)
        return {s.scope.A1, s.trigger.Lev_A1, s.display.BgTrigLevelA1, s.display.BgScreenZeroA1};
    return {s.scope.A2, s.trigger.Lev_A2, s.display.BgTrigLevelA2, s.display.BgScreenZeroA2};
}

template <typename Change> void changeRange(core::InstrumentState& s, AnalogInput c, Change change) {
    auto r = refs(s, c);
    const double oldUv = static_cast<double>(channelMicroVolts(r.ch));
    change(r.ch);
    const double newUv = static_cast<double>(channelMicroVolts(r.ch));
    if (oldUv == newUv) return;
    r.level = rescaleLevel(r.level, r.ch.Zero, oldUv, newUv);
    r.bgLevel = rescaleLevel(r.bgLevel, r.bgZero, oldUv, newUv);
}

} // namespace

std::int64_t channelMicroVolts(const core::AnalogChannelState& ch) {
    const auto& range = core::kVoltsDiv[static_cast<std::size_t>(std::clamp(ch.voltsDiv, 0, 11))];
    return range.microVolts * core::kProbeFactors[static_cast<std::size_t>(std::clamp(ch.probe, 0, 3))];
}

double rescaleLevel(double level, double zero, double oldMicroVolts, double newMicroVolts) {
    if (newMicroVolts == 0) return level;
    return (level - zero) * oldMicroVolts / newMicroVolts + zero;
}

void setVoltsDiv(core::InstrumentState& s, AnalogInput c, int idx) {
    changeRange(s, c, [&](core::AnalogChannelState& ch) { ch.voltsDiv = std::clamp(idx, 0, 11); });
}

void setProbe(core::InstrumentState& s, AnalogInput c, int probeIdx) {
    changeRange(s, c, [&](core::AnalogChannelState& ch) { ch.probe = std::clamp(probeIdx, 0, 3); });
}

bool toggleProbe(core::InstrumentState& s, AnalogInput c) {
    if (s.analyzer.AA) return false;
    const int next = refs(s, c).ch.probe == 0 ? 1 : 0;
    setProbe(s, c, next);
    return true;
}

void clickStrobo(core::InstrumentState& s) {
    s.scope.Strobo = !s.scope.Strobo;
    s.scope.StroboByHand = true;
}

} // namespace kx::core
