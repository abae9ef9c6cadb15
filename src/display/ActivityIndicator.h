// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/PixelCanvas.h"
#include "display/ReadoutSources.h"
#include "display/ScreenGeometry.h"

#include <cstdint>

namespace kx::display {

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
