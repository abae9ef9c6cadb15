// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ScreenGeometry.h"

namespace kx::display {

ScreenGeometry computeGeometry(int width, int height) {
    ScreenGeometry g;
    g.width = width;
    g.height = height;
    g.CompactScreen = width < kCompactWidth;
    const int provisionalLeft = 32;
    const int provisionalTop = g.CompactScreen ? 18 : 26;

    const int w = 20 * ((width - 2 * provisionalLeft) / 20);
    g.PlotWidth = w > kMinPlotWidth ? w : kMinPlotWidth;

    const int reserved = static_cast<int>(provisionalTop * 4.25);
    const int h = 16 * ((height - reserved) / 16);
    g.PlotHeight = h > kMinPlotHeight ? h : kMinPlotHeight;

    g.PlotLeft = (width - g.PlotWidth) / 2;
    // 4/17 of the free height above the plot; integer form so 119 free pixels give 29, not 28.
    const int freeHeight = height - g.PlotHeight;
    g.PlotTop = (freeHeight * 4 + 17) / 17;

    g.PixelsPerDivX = g.PlotWidth / 10;
    g.PixelsPerDivY = g.PlotHeight / 8;
    g.cursorScale = g.PlotWidth * 0.0002;
    g.codeScale = g.PlotHeight / 65536.0;
    return g;
}

} // namespace kx::display
