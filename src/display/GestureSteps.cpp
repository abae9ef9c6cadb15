// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DeviceModel.h"
#include "core/ScopeTables.h"
#include "display/GestureMath.h"
#include "display/Gestures.h"

#include <algorithm>

namespace kx::display {
namespace {

constexpr int kTimeBaseCount = static_cast<int>(core::kTimeBases.size());

// The analysers grey out the fast time bases outside debug mode; a step never lands on a
// greyed button, which apply-settings would only throw back to 0.2 s/div.
bool timeBaseEnabled(const core::InstrumentState& s, int index) {
    return !(s.analyzer.analyzerOn() && !s.system.DebugMode && index >= core::kTimeBase02ms);
}

} // namespace

std::int32_t steppedTimeBase(const core::InstrumentState& s, int direction) {
    const int cur = std::clamp(s.scope.timeBase, 0, kTimeBaseCount - 1);
    const int next = gesture::stepIndex(cur, direction, kTimeBaseCount);
    return timeBaseEnabled(s, next) ? next : cur;
}

std::int32_t steppedVoltsDiv(const core::InstrumentState& s, bool a2, int direction) {
    const core::AnalogChannelState& ch = a2 ? s.scope.A2 : s.scope.A1;
    // A compact front end has no A1 ranges above 0.1 V; 2 mV and below need LowVoltsDiv.
    const int least = (!a2 && core::hasCompactFrontEnd(s.system.UiDeviceType)) ? core::kVoltsDiv01V : 0;
    const int most = s.system.LowVoltsDiv ? static_cast<int>(core::kVoltsDiv.size()) - 1 : core::kVoltsDiv5mV;
    const int cur = std::clamp(ch.voltsDiv, least, most);
    return std::clamp(cur + (direction > 0 ? 1 : -1), least, most);
}

} // namespace kx::display
