// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DerivedQuantities.h"
#include "core/InstrumentState.h"

#include <optional>

namespace kx::app {

// The small colour panels beside the channel titles and in the trigger row: which show a
// channel's colour (display::channelColors) and which the standard button face.
struct IndicatorColors {
    bool a1 = false;                   // Panel_Color_A1: ColorA1 while A1 is shown
    bool a2 = false;                   // Panel_Color_A2: ColorA2 while A2 is shown
    std::optional<int> triggerChannel; // Panel_Color_Trig: the source (0..5) while the trigger is active
};

IndicatorColors indicatorColors(const core::InstrumentState& state, const DerivedQuantities& derived);

} // namespace kx::app
