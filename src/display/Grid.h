// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/DisplayState.h"
#include "display/PixelCanvas.h"
#include "display/ScreenGeometry.h"

namespace kx::display {

// The plot's own pixels: (PlotLeft, PlotTop) .. (PlotLeft + PlotWidth, PlotTop + PlotHeight).
void fillPlot(PixelCanvas& c, const ScreenGeometry& g, QRgb color);

// Everything around the plot; clips whatever a trace drew outside it.
void fillMargins(PixelCanvas& c, const ScreenGeometry& g, QRgb color);

// Outline from (PlotLeft - 1, PlotTop - 1) to (PlotLeft + PlotWidth + 1, PlotTop + PlotHeight + 1),
// right and bottom edges exclusive as for any filled rectangle.
void drawPlotFrame(PixelCanvas& c, const ScreenGeometry& g, QRgb color);

// Ten by eight divisions with five minor ticks per division on the edges and centre lines.
void drawGrid(PixelCanvas& c, const ScreenGeometry& g, QRgb color);

// Vertical line at the trigger point, when it is not left of the first sample shown.
void drawTriggerPositionLine(PixelCanvas& c, const ScreenGeometry& g, QRgb color, std::int64_t preTrigger,
                             std::int64_t scrollPos, double pixelsPerSample);

// "Cursors": one vertical and one horizontal line; "Double Cursors": two of each.
void drawCursorLines(PixelCanvas& c, const ScreenGeometry& g, const core::DisplayState& d, QRgb color);

} // namespace kx::display
