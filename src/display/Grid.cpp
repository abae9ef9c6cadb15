// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Grid.h"

namespace kx::display {

void fillPlot(PixelCanvas& c, const ScreenGeometry& g, QRgb color) {
    c.fillRect(g.PlotLeft, g.PlotTop, g.PlotLeft + g.PlotWidth + 1, g.PlotTop + g.PlotHeight + 1, color);
}

void fillMargins(PixelCanvas& c, const ScreenGeometry& g, QRgb color) {
    const int w = c.width(), h = c.height();
    const int bottom = g.PlotTop + g.PlotHeight + 1;
    c.fillRect(0, 0, w, g.PlotTop, color);
    c.fillRect(0, bottom, w, h, color);
    c.fillRect(0, g.PlotTop, g.PlotLeft, bottom, color);
    c.fillRect(g.PlotLeft + g.PlotWidth + 1, g.PlotTop, w, bottom, color);
}

void drawPlotFrame(PixelCanvas& c, const ScreenGeometry& g, QRgb color) {
    const int left = g.PlotLeft - 1, top = g.PlotTop - 1;
    const int right = g.PlotLeft + g.PlotWidth, bottom = g.PlotTop + g.PlotHeight;
    c.hLine(left, right, top, color);
    c.hLine(left, right, bottom, color);
    c.vLine(left, top, bottom, color);
    c.vLine(right, top, bottom, color);
}

void drawGrid(PixelCanvas& c, const ScreenGeometry& g, QRgb color) {
    const int left = g.PlotLeft, top = g.PlotTop, right = g.PlotLeft + g.PlotWidth,
              bottom = g.PlotTop + g.PlotHeight;
    for (int k = 0; k <= 10; ++k) c.vLine(left + k * (g.PlotWidth / 10), top, bottom, color);
    for (int k = 0; k <= 8; ++k) c.hLine(left, right, top + k * (g.PlotHeight / 8), color);

    const int centreY = top + g.PlotHeight / 2;
    for (int i = 0; i < 50; ++i) {
        const int x = left + i * g.PlotWidth / 50;
        c.vLine(x, top, top + 2, color);
        c.vLine(x, bottom - 2, bottom, color);
        c.vLine(x, centreY - 1, centreY + 1, color);
    }
    const int centreX = left + g.PlotWidth / 2;
    for (int i = 0; i < 40; ++i) {
        const int y = top + i * g.PlotHeight / 40;
        c.hLine(left, left + 2, y, color);
        c.hLine(right - 2, right, y, color);
        c.hLine(centreX - 1, centreX + 1, y, color);
    }
}

void drawTriggerPositionLine(PixelCanvas& c, const ScreenGeometry& g, QRgb color, std::int64_t preTrigger,
                             std::int64_t scrollPos, double pixelsPerSample) {
    if (preTrigger < scrollPos) return;
    const int x = g.PlotLeft + roundPx(static_cast<double>(preTrigger - scrollPos) * pixelsPerSample);
    c.vLine(x, g.PlotTop, g.PlotTop + g.PlotHeight, color);
}

namespace {

void cursorPair(PixelCanvas& c, const ScreenGeometry& g, std::int32_t x, std::int32_t y, QRgb color) {
    const int col = g.PlotLeft + roundPx(x * g.PlotWidth * 0.0002);
    const int row = g.PlotTop + roundPx(static_cast<double>(y) * g.PlotHeight / 65536.0);
    c.vLine(col, g.PlotTop, g.PlotTop + g.PlotHeight, color);
    c.hLine(g.PlotLeft, g.PlotLeft + g.PlotWidth, row, color);
}

} // namespace

void drawCursorLines(PixelCanvas& c, const ScreenGeometry& g, const core::DisplayState& d, QRgb color) {
    switch (d.cursors) {
    case core::CursorMode::Single:
        cursorPair(c, g, d.CursorX, d.CursorY, color);
        break;
    case core::CursorMode::Double:
        cursorPair(c, g, d.CursorX1, d.CursorY1, color);
        cursorPair(c, g, d.CursorX2, d.CursorY2, color);
        break;
    case core::CursorMode::None:
        break;
    }
}

} // namespace kx::display
