// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <cstdint>

namespace kx::core {

enum class AnalogInput { A1, A2 };

// Microvolts per division of a channel, probe factor included.
std::int64_t channelMicroVolts(const core::AnalogChannelState& ch);

// Level that keeps its voltage when the channel's microvolts per division change.
double rescaleLevel(double level, double zero, double oldMicroVolts, double newMicroVolts);

// Control actions on the state. Each rescales the channel's trigger level and the
// background trigger level so they keep their voltage; the caller then runs the
// settings-changed notification.
void setVoltsDiv(core::InstrumentState& s, AnalogInput ch, int voltsDivIndex);
void setProbe(core::InstrumentState& s, AnalogInput ch, int probeIndex);
// The channel title button: x1 <-> x10 (x10, x20, x100 go back to x1); ignored while the
// antenna analyser runs. Returns whether anything changed.
bool toggleProbe(core::InstrumentState& s, AnalogInput ch);
// SpeedButton_Strobo clicked: the user's choice holds from now on.
void clickStrobo(core::InstrumentState& s);

} // namespace kx::core
