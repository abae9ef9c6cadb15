// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Supervision.h"

#include <cstdint>

namespace kx::display {

// What the readouts and overlays need from outside the frame and the settings: the
// device's status and the once-a-second link figures. Filled by the window.
struct ReadoutSources {
    std::int32_t supplyMillivolts = 0; // Vcc from the status packet
    app::ShownStatistics shown;        // the last second's link figures
    std::uint32_t reconfigurations = 0;
    std::uint32_t reconfigurationErrors = 0;
    std::uint32_t screenUpdates = 0; // full updates since start
    bool wineMode = false;
    char decimalSeparator = '.';
    char thousandsSeparator = ',';
};

} // namespace kx::display
