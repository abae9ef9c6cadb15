// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ActivityIndicator.h"

#include "display/Colors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kx::display {

namespace {

// Angle of (dx, dy) in degrees, clockwise from twelve o'clock, in [0, 360).
double clockAngle(int dx, int dy) {
    double a = std::atan2(static_cast<double>(dx), static_cast<double>(-dy)) * 180.0 / std::numbers::pi;
    if (a < 0) a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

// Walks the pixels of the disc of radius r + 0.5 around (cx, cy).
template <typename F> void forDisc(int cx, int cy, int r, F&& f) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            if (d <= r + 0.5) f(cx + dx, cy + dy, dx, dy, d);
        }
}

void circle(PixelCanvas& c, int cx, int cy, int r, QRgb pen, QRgb brush) {
    forDisc(cx, cy, r,
            [&](int x, int y, int, int, double d) { c.setPixel(x, y, d > r - 0.5 ? pen : brush); });
}

} // namespace

int activityCentreX(const ScreenGeometry& g) {
    return g.PlotLeft + (g.PlotWidth / 20) * 19;
}
int activityCentreY(const ScreenGeometry& g) {
    return g.PlotTop / 2;
}
int activityRadius(const ScreenGeometry& g) {
    return g.CompactScreen ? 7 : 10;
}

Activity activityOf(const LinkView& link, bool armed) {
    if (link.reconfiguring && link.configProgress >= 4) return Activity::Configuring;
    if (link.deviceReady) return armed ? Activity::Receiving : Activity::Ready;
    return Activity::NoDevice;
}

void drawActivityIndicator(PixelCanvas& c, const ScreenGeometry& g, const LinkView& link, bool armed,
                           const ActivityColors& colors) {
    const int cx = activityCentreX(g), cy = activityCentreY(g), r = activityRadius(g);
    switch (activityOf(link, armed)) {
    case Activity::Configuring: {
        const double sweep = 3.6 * std::clamp(link.configProgress, 0, 100);
        forDisc(cx, cy, r, [&](int x, int y, int dx, int dy, double d) {
            const bool inPie = (dx != 0 || dy != 0) ? clockAngle(dx, dy) < sweep : sweep > 0;
            c.setPixel(x, y, (d > r - 0.5 || inPie) ? colors.pen : colors.brush);
        });
        break;
    }
    case Activity::Receiving: {
        // Ten segments, brightest at the one the status packets have reached; the whole
        // ring dims while status packets keep coming without frames.
        const int start = static_cast<int>(link.statusPackets % 10);
        const double stale = link.statusSinceFrame > 5
                                 ? 1.0 + 0.5 * std::min<std::uint32_t>(link.statusSinceFrame - 5, 16)
                                 : 1.0;
        const std::uint32_t pen = fromQRgb(colors.pen), brush = fromQRgb(colors.brush);
        forDisc(cx, cy, r, [&](int x, int y, int dx, int dy, double d) {
            if (d <= r - 3.5) {
                c.setPixel(x, y, colors.brush);
                return;
            }
            const int segment = std::min(9, static_cast<int>(clockAngle(dx, dy) / 36.0));
            const int behind = (start - segment + 10) % 10;
            c.setPixel(x, y, toQRgb(fade(pen, brush, (1.0 + 0.4 * behind) * stale)));
        });
        const double a = (link.framesAssembled % 10) * 36.0 * std::numbers::pi / 180.0;
        const int hx = cx + static_cast<int>(std::lround(std::sin(a) * (r - 3)));
        const int hy = cy - static_cast<int>(std::lround(std::cos(a) * (r - 3)));
        c.line(cx, cy, hx, hy, colors.pen);
        c.setPixel(cx, cy, colors.pen);
        break;
    }
    case Activity::Ready: {
        // Breathes with the status packets: one pixel smaller in the second half of every ten.
        const int rr = (link.statusPackets % 10) >= 5 ? r - 1 : r;
        forDisc(cx, cy, r, [&](int x, int y, int, int, double) { c.setPixel(x, y, colors.brush); });
        forDisc(cx, cy, rr, [&](int x, int y, int, int, double) { c.setPixel(x, y, colors.pen); });
        break;
    }
    case Activity::NoDevice:
        circle(c, cx, cy, r, colors.pen, colors.brush);
        break;
    }
}

} // namespace kx::display
