// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Markers.h"

#include "display/Colors.h"
#include "display/FrameDecisions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace kx::display {

namespace {

// Both pentagons: a 15-row box with a point 7 pixels long. `dir` is -1 for the left margin
// (point to the right at tipX) and +1 for the right margin (point to the left at tipX).
void pentagon(PixelCanvas& c, int tipX, int y, int dir, QRgb outline, QRgb fill) {
    const int boxFar = tipX + dir * 17; // the side away from the plot
    for (int dy = -6; dy <= 6; ++dy) {
        const int nearEnd = tipX + dir * (std::abs(dy) + 1); // inside the slanted edges
        const int a = std::min(nearEnd, boxFar - dir), b = std::max(nearEnd, boxFar - dir);
        c.hLine(a, b, y + dy, fill);
    }
    const int shoulder = tipX + dir * 7;
    c.line(tipX, y, shoulder, y + 7, outline);
    c.line(shoulder, y + 7, boxFar, y + 7, outline);
    c.line(boxFar, y + 7, boxFar, y - 7, outline);
    c.line(boxFar, y - 7, shoulder, y - 7, outline);
    c.line(shoulder, y - 7, tipX, y, outline);
}

// Decimal text of a code, kept in `buf`.
std::string_view codeText(char (&buf)[16], int code) {
    const auto r = std::to_chars(buf, buf + sizeof buf, code);
    return std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

} // namespace

void drawZeroMarker(PixelCanvas& c, const ScreenGeometry& g, const ZeroMarker& m) {
    const int y = rowOfCode(g.PlotTop, g.PlotHeight, m.code);
    const int L = g.PlotLeft;
    const QRgb color = toQRgb(m.color);
    pentagon(c, L - 2, y, -1, color, toQRgb(m.background));
    const QRgb glyph = m.dim ? toQRgb(fade(m.color, m.background, 2)) : color;
    c.line(L - 15, y - 3, L - 9, y - 3, glyph);
    c.line(L - 9, y - 3, L - 15, y + 3, glyph);
    c.line(L - 15, y + 3, L - 8, y + 3, glyph);
    if (m.debugFont) {
        char buf[16];
        const std::string_view text = codeText(buf, roundPx(m.code));
        m.debugFont->draw(c, L - 2 - m.debugFont->width(text), y - 8 - m.debugFont->cellHeight(), text,
                          color);
    }
}

int levelMarkerCode(double level) {
    if (!(level == level)) return 0;
    return std::clamp(roundPx(level), 0, 65536);
}

void drawLevelMarker(PixelCanvas& c, const ScreenGeometry& g, const LevelMarker& m) {
    const int code = levelMarkerCode(m.level);
    const int y = rowOfCode(g.PlotTop, g.PlotHeight, code);
    const int R = g.PlotLeft + g.PlotWidth + 1;
    const QRgb color = toQRgb(m.color);
    if (m.dragLines) {
        const QRgb strong = toQRgb(m.trigPosColor);
        const QRgb weak = toQRgb(fade(m.trigPosColor, m.background, 1.5));
        const QRgb levelColor = m.hysteresis > 3 ? weak : strong;
        const QRgb bandColor = m.hysteresis > 3 ? strong : weak;
        const double band = m.hysteresis * 256.0;
        auto across = [&](double lineCode, QRgb col) {
            const int row = rowOfCode(g.PlotTop, g.PlotHeight, lineCode);
            if (row >= g.PlotTop && row <= g.PlotTop + g.PlotHeight)
                c.hLine(g.PlotLeft, g.PlotLeft + g.PlotWidth, row, col);
        };
        across(code + band, bandColor);
        across(code - band, bandColor);
        across(code, levelColor);
    }
    pentagon(c, R + 1, y, +1, color, toQRgb(m.background));
    if (m.triggerSource) {
        c.line(R + 12, y + 3, R + 12, y - 3, color);
        c.line(R + 15, y - 3, R + 8, y - 3, color);
    }
    if (m.debugFont) {
        char buf[16];
        m.debugFont->draw(c, R + 1, y - 8 - m.debugFont->cellHeight(), codeText(buf, code), color);
    }
}

void drawFrameTriggerMarker(PixelCanvas& c, const ScreenGeometry& g, double code, QRgb color) {
    const int edge = g.PlotLeft + g.PlotWidth - 1; // last column inside the frame
    if (code > 65536) {
        const int x = edge - 4, tip = g.PlotTop - 7;
        for (int k = 0; k <= 4; ++k) c.hLine(x - k, x + k, tip + k, color);
    } else if (code < 0) {
        const int x = edge - 4, tip = g.PlotTop + g.PlotHeight + 7;
        for (int k = 0; k <= 4; ++k) c.hLine(x - k, x + k, tip - k, color);
    } else {
        const int y = rowOfCode(g.PlotTop, g.PlotHeight, code);
        for (int dy = -4; dy <= 4; ++dy) c.hLine(edge - 4 + std::abs(dy), edge, y + dy, color);
    }
}

void drawDigitalLabel(PixelCanvas& c, const ScreenGeometry& g, int n, const GlyphSet& font, QRgb color) {
    const int h = font.pixelHeight();
    const int y = g.PlotTop + g.PlotHeight - g.PlotHeight * (n - 1) / 8 - g.PlotHeight / 16 - h / 2 - 2;
    const char text[2] = {'D', static_cast<char>('0' + n)};
    font.draw(c, g.PlotLeft - 21, y, std::string_view(text, 2), color);
}

} // namespace kx::display
