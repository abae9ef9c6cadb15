// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/PixelCanvas.h"
#include "display/ReadoutSources.h"
#include "display/ScreenGeometry.h"

#include <cstdint>

namespace kx::display {

// What the window knows of the link, for the activity indicator.
struct LinkView {
    bool deviceReady = false;
    bool reconfiguring = false;        // FPGA configuration in progress
    int configProgress = 0;            // percent
    std::uint32_t statusPackets = 0;   // total status packets received (ring advance)
    std::uint32_t framesAssembled = 0; // total frames assembled (hand advance)
    std::uint32_t statusSinceFrame = 0;
    ReadoutSources sources{}; // for the readouts and overlays
};

enum class Activity {
    Configuring, // progress pie
    Receiving,   // ready and armed: spinning ring with a hand
    Ready,       // ready, not armed: pulsing disc
    NoDevice,    // empty circle
};

Activity activityOf(const LinkView& link, bool armed);

struct ActivityColors {
    QRgb pen = 0;   // ColorGridFrame
    QRgb brush = 0; // ColorBorder
};

// Right end of the top margin.
void drawActivityIndicator(PixelCanvas& c, const ScreenGeometry& g, const LinkView& link, bool armed,
                           const ActivityColors& colors);

int activityCentreX(const ScreenGeometry& g);
int activityCentreY(const ScreenGeometry& g);
int activityRadius(const ScreenGeometry& g);

} // namespace kx::display
