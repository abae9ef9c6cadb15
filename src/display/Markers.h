// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/Glyphs.h"
#include "display/PixelCanvas.h"
#include "display/ScreenGeometry.h"

#include <cstdint>

namespace kx::display {

// Pentagon in the left margin pointing at the channel's zero, with a "Z" inside that is
// drawn half-faded while the input is overdriven. `debugFont` set: the code is printed too.
struct ZeroMarker {
    double code = 0; // from the bottom
    std::uint32_t color = 0;
    std::uint32_t background = 0;
    bool dim = false;
    const GlyphSet* debugFont = nullptr;
};
void drawZeroMarker(PixelCanvas& c, const ScreenGeometry& g, const ZeroMarker& m);

// Pentagon in the right margin at the trigger level, "T" inside for the trigger source;
// while dragged, the level and its hysteresis band cross the plot.
struct LevelMarker {
    double level = 0; // from the bottom; rounded and limited to 0..65536
    std::uint32_t color = 0;
    std::uint32_t background = 0;
    bool triggerSource = false;
    bool dragLines = false;
    int hysteresis = 0;
    std::uint32_t trigPosColor = 0;
    const GlyphSet* debugFont = nullptr;
};
void drawLevelMarker(PixelCanvas& c, const ScreenGeometry& g, const LevelMarker& m);

// Small filled triangle on the plot's right edge at the frame's trigger level; above the
// top edge pointing up, or below the bottom edge pointing down, when the level is off screen.
void drawFrameTriggerMarker(PixelCanvas& c, const ScreenGeometry& g, double code, QRgb color);

// "D1".."D4" left of the plot, centred on the channel's lane.
void drawDigitalLabel(PixelCanvas& c, const ScreenGeometry& g, int n, const GlyphSet& font, QRgb color);

// Level marker code as drawn: rounded, limited to 0..65536.
int levelMarkerCode(double level);

} // namespace kx::display
