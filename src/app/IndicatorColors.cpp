// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/IndicatorColors.h"

#include <algorithm>

namespace kx::app {

IndicatorColors indicatorColors(const core::InstrumentState& s, const DerivedQuantities& d) {
    IndicatorColors c;
    c.a1 = s.scope.A1.shown;
    c.a2 = s.scope.A2.shown;
    if (d.TriggerActive) c.triggerChannel = std::clamp(s.trigger.Src, 0, 5);
    return c;
}

} // namespace kx::app
