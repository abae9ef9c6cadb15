// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Rounding.h"

namespace kx::display {

constexpr int kDesignWidth = 566; // paint box of the design-size window
constexpr int kDesignHeight = 375;
constexpr int kCompactWidth = 500; // narrower paint boxes get the compact layout
constexpr int kMinPlotWidth = 125;
constexpr int kMinPlotHeight = 64;
constexpr int kMaxColumns = 16384; // column arrays: enough for any plot up to 8191 pixels wide

// Where the plot sits inside the paint box; recomputed on resize and layout changes.
struct ScreenGeometry {
    int width = kDesignWidth; // the paint box and ScreenBitmap
    int height = kDesignHeight;
    bool CompactScreen = false;
    int PlotLeft = 0;
    int PlotTop = 0;
    int PlotWidth = kMinPlotWidth;
    int PlotHeight = kMinPlotHeight;
    int PixelsPerDivX = 0;
    int PixelsPerDivY = 0;
    double cursorScale = 0; // pixels per cursor unit (0..5000 across the plot)
    double codeScale = 0;   // pixels per vertical code (0..65536 over the plot)
};

ScreenGeometry computeGeometry(int width, int height);

// Half-away-from-zero rounding used by every drawing formula; inline, it runs per sample.
inline int roundPx(double x) {
    // Pinned to +-1e9 so pixel sums stay in range; NaN draws nowhere in particular.
    return core::roundHalfAway<int>(x > 1.0e9 ? 1.0e9 : x < -1.0e9 ? -1.0e9 : x);
}

} // namespace kx::display
