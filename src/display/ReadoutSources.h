// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/LinkStatistics.h"

#include <cstdint>

namespace kx::display {

// What the readouts and overlays need from outside the frame and the settings: the
// device's status and the once-a-second link figures. Filled by the session.
struct ReadoutSources {
    std::int32_t supplyMillivolts = 0; // Vcc from the status packet
    device::ShownStatistics shown;        // the last second's link figures
    std::uint32_t reconfigurations = 0;
    std::uint32_t reconfigurationErrors = 0;
    std::uint32_t screenUpdates = 0; // full updates since start
    bool wineMode = false;
    char decimalSeparator = '.';
    char thousandsSeparator = ',';
};

// What the session knows of the link, for the activity indicator.
struct LinkView {
    bool deviceReady = false;
    bool reconfiguring = false;        // FPGA configuration in progress
    int configProgress = 0;            // percent
    std::uint32_t statusPackets = 0;   // total status packets received (ring advance)
    std::uint32_t framesAssembled = 0; // total frames assembled (hand advance)
    std::uint32_t statusSinceFrame = 0;
    ReadoutSources sources{}; // for the readouts and overlays
};

} // namespace kx::display
