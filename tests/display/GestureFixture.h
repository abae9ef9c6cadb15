// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "display/Gestures.h"
#include "display/ScreenGeometry.h"

namespace kx::display::testing {

// The geometry of a design-size paint box (566 x 375), as the geometry procedure gives it.
inline ScreenGeometry designGeometry() {
    ScreenGeometry g;
    g.width = 566;
    g.height = 375;
    g.PlotLeft = 33;
    g.PlotTop = 29;
    g.PlotWidth = 500;
    g.PlotHeight = 256;
    g.PixelsPerDivX = 50;
    g.PixelsPerDivY = 32;
    g.cursorScale = g.PlotWidth * 0.0002;
    g.codeScale = g.PlotHeight / 65536.0;
    return g;
}

// Events at an offset from the plot's top-left corner.
inline PointerEvent pressAt(const ScreenGeometry& g, int dx, int dy, MouseButton b = MouseButton::Left) {
    PointerEvent e;
    e.x = g.PlotLeft + dx;
    e.y = g.PlotTop + dy;
    e.button = b;
    return e;
}

inline PointerEvent dragAt(const ScreenGeometry& g, int dx, int dy, bool right = false) {
    PointerEvent e;
    e.x = g.PlotLeft + dx;
    e.y = g.PlotTop + dy;
    e.leftDown = !right;
    e.rightDown = right;
    return e;
}

// x of the left margin's markers and the right margin's markers.
inline int leftMarginDx() {
    return -10;
}
inline int rightMarginDx(const ScreenGeometry& g) {
    return g.PlotWidth + 10;
}

// State with both analog channels shown and no cursors, unless a test wants them.
inline core::InstrumentState twoChannels() {
    core::InstrumentState s;
    s.system.UiDeviceType = 0x23;
    s.scope.A1.shown = true;
    s.scope.A2.shown = true;
    s.display.cursors = core::CursorMode::None;
    return s;
}

} // namespace kx::display::testing
