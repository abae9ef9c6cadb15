// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DeviceModel.h"
#include "display/GestureMath.h"
#include "display/Gestures.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace kx::display {
namespace {

using gesture::clampLevel;
using gesture::raise;
using gesture::roundAway;

constexpr int kHiddenDistance = 10000; // a hidden channel's marker loses to any shown one
constexpr int kNoCandidate = INT_MAX;

struct Offsets {
    int x = 0;
    int y = 0;
};

// The right button puts cursors and markers on the nearest half division.
int snapHalfDivision(int offset, int pixelsPerDiv) {
    const int h = pixelsPerDiv / 2;
    if (h <= 0) return offset;
    return ((pixelsPerDiv / 4 + offset) / h) * h;
}

Offsets offsetsOf(const ScreenGeometry& g, const PointerEvent& e, bool snap) {
    Offsets o{e.x - g.PlotLeft, e.y - g.PlotTop};
    if (snap) {
        o.x = snapHalfDivision(o.x, g.PixelsPerDivX);
        o.y = snapHalfDivision(o.y, g.PixelsPerDivY);
    }
    return o;
}

int markerDistance(const ScreenGeometry& g, int yOffset, double code) {
    return std::abs(markerRowOf(g, code) - yOffset);
}

struct Candidate {
    DragItem item;
    int distance;
};

// The nearest wins; on a tie the earlier candidate keeps it.
template <std::size_t N> DragItem nearest(const std::array<Candidate, N>& candidates) {
    const Candidate* best = &candidates[0];
    for (const Candidate& c : candidates)
        if (c.distance < best->distance) best = &c;
    return best->item;
}

// A zero moves and its trigger level goes with it, so the level stays on the same point of
// the signal (as far as the code range allows).
void moveZero(std::optional<std::int32_t>& zeroOut, std::optional<double>& levelOut, std::int32_t oldZero,
              double oldLevel, std::int32_t newZero) {
    zeroOut = newZero;
    levelOut = clampLevel(oldLevel + (newZero - oldZero));
}

// Puts the dragged item where the pointer is.
void dragTo(const core::InstrumentState& s, const ScreenGeometry& g, DragItem item, Offsets o,
            GestureResult& r) {
    auto& c = r.changes;
    const auto& d = s.display;
    switch (item) {
    case DragItem::None:
        return;
    case DragItem::CursorX:
        c.CursorX = cursorPositionOf(g, o.x);
        break;
    case DragItem::CursorY:
        c.CursorY = codeFromTopOf(g, o.y);
        break;
    case DragItem::CursorX1:
        c.CursorX1 = cursorPositionOf(g, o.x);
        break;
    case DragItem::CursorY1:
        c.CursorY1 = codeFromTopOf(g, o.y);
        break;
    case DragItem::CursorX2:
        c.CursorX2 = cursorPositionOf(g, o.x);
        break;
    case DragItem::CursorY2:
        c.CursorY2 = codeFromTopOf(g, o.y);
        break;
    case DragItem::LevelA1:
        c.LevelA1 = codeFromBottomOf(g, o.y);
        raise(r, Notify::SettingsChanged);
        return;
    case DragItem::LevelA2:
        c.LevelA2 = codeFromBottomOf(g, o.y);
        raise(r, Notify::SettingsChanged);
        return;
    case DragItem::ZeroA1:
        moveZero(c.ZeroA1, c.LevelA1, s.scope.A1.Zero, s.trigger.Lev_A1, codeFromBottomOf(g, o.y));
        raise(r, Notify::SettingsChanged);
        return;
    case DragItem::ZeroA2:
        moveZero(c.ZeroA2, c.LevelA2, s.scope.A2.Zero, s.trigger.Lev_A2, codeFromBottomOf(g, o.y));
        raise(r, Notify::SettingsChanged);
        return;
    case DragItem::BgZeroA1:
        moveZero(c.BgZeroA1, c.BgLevelA1, d.BgScreenZeroA1, d.BgTrigLevelA1, codeFromBottomOf(g, o.y));
        break;
    case DragItem::BgZeroA2:
        moveZero(c.BgZeroA2, c.BgLevelA2, d.BgScreenZeroA2, d.BgTrigLevelA2, codeFromBottomOf(g, o.y));
        break;
    }
    raise(r, Notify::Refresh);
}

DragItem zeroTarget(const core::InstrumentState& s, const ScreenGeometry& g, int y, bool background) {
    const bool a1 = s.scope.A1.shown;
    const bool a2 = s.scope.A2.shown;
    const auto& d = s.display;
    auto distance = [&](bool shown, double code) {
        return shown ? markerDistance(g, y, code) : kHiddenDistance;
    };
    const std::array<Candidate, 4> c{{
        {DragItem::ZeroA1, distance(a1, s.scope.A1.Zero)},
        {DragItem::ZeroA2, distance(a2, s.scope.A2.Zero)},
        {DragItem::BgZeroA1, background ? distance(a1, d.BgScreenZeroA1) : kNoCandidate},
        {DragItem::BgZeroA2, background ? distance(a2, d.BgScreenZeroA2) : kNoCandidate},
    }};
    return nearest(c);
}

DragItem levelTarget(const core::InstrumentState& s, const ScreenGeometry& g, int y) {
    auto distance = [&](bool shown, double level) {
        return shown ? markerDistance(g, y, static_cast<double>(gesture::clampCode(roundAway(level))))
                     : kHiddenDistance;
    };
    const std::array<Candidate, 2> c{{
        {DragItem::LevelA1, distance(s.scope.A1.shown, s.trigger.Lev_A1)},
        {DragItem::LevelA2, distance(s.scope.A2.shown, s.trigger.Lev_A2)},
    }};
    return nearest(c);
}

DragItem cursorTarget(const core::InstrumentState& s, const ScreenGeometry& g, Offsets o) {
    const auto& d = s.display;
    auto dx = [&](std::int32_t pos) { return std::abs(o.x - cursorColumnOf(g, pos)); };
    auto dy = [&](std::int32_t code) { return std::abs(o.y - cursorRowOf(g, code)); };
    if (d.cursors == core::CursorMode::Single)
        return dy(d.CursorY) < dx(d.CursorX) ? DragItem::CursorY : DragItem::CursorX;
    const std::array<Candidate, 4> c{{
        {DragItem::CursorX1, dx(d.CursorX1)},
        {DragItem::CursorY1, dy(d.CursorY1)},
        {DragItem::CursorX2, dx(d.CursorX2)},
        {DragItem::CursorY2, dy(d.CursorY2)},
    }};
    return nearest(c);
}

} // namespace

GestureResult pressPointer(const core::InstrumentState& s, const ScreenGeometry& g, const core::FrameHeader&,
                           const PointerEvent& e, DragState& drag) {
    GestureResult r;
    if (e.button == MouseButton::Other) return r;
    drag.DragTarget = DragItem::None;
    const Offsets o = offsetsOf(g, e, e.button == MouseButton::Right);
    if (drag.SwallowPress) {
        drag.SwallowPress = false;
        return r;
    }

    const int right = g.PlotLeft + g.PlotWidth;
    const int bottom = g.PlotTop + g.PlotHeight;
    const bool withinColumns = e.x > g.PlotLeft && e.x < right;
    drag.HotZoneAbove = e.y < g.PlotTop && withinColumns;
    drag.HotZoneBelow = e.y > bottom && withinColumns;

    const bool markersLive = (s.scope.A1.shown || s.scope.A2.shown) && !s.analyzer.analyzerOn();
    if (e.x < g.PlotLeft) {
        if (markersLive) drag.DragTarget = zeroTarget(s, g, o.y, e.backgroundExists && s.display.BgShow);
    } else if (e.x > right) {
        if (markersLive) drag.DragTarget = levelTarget(s, g, o.y);
    } else if (s.display.cursors != core::CursorMode::None && e.y >= g.PlotTop && e.y <= bottom) {
        drag.DragTarget = cursorTarget(s, g, o);
    }
    dragTo(s, g, drag.DragTarget, o, r);
    return r;
}

GestureResult movePointer(const core::InstrumentState& s, const ScreenGeometry& g, const core::FrameHeader&,
                          const PointerEvent& e, DragState& drag) {
    GestureResult r;
    if (!e.leftDown && !e.rightDown) return r;
    Offsets o = offsetsOf(g, e, e.rightDown);
    o.x = std::clamp(o.x, 0, g.PlotWidth);
    o.y = std::clamp(o.y, 0, g.PlotHeight);
    dragTo(s, g, drag.DragTarget, o, r);
    return r;
}

GestureResult releasePointer(const core::InstrumentState&, const ScreenGeometry&, const core::FrameHeader&,
                             const PointerEvent&, DragState& drag) {
    GestureResult r;
    drag.DragTarget = DragItem::None;
    r.notify = Notify::Refresh;
    return r;
}

GestureResult doubleClick(const core::InstrumentState& s, const ScreenGeometry&, const core::FrameHeader&,
                          const PointerEvent&, DragState& drag) {
    GestureResult r;
    if (!drag.HotZoneAbove && !drag.HotZoneBelow) return r;
    drag.SwallowPress = true;
    if (drag.HotZoneAbove) r.changes.CompactView = !s.display.CompactView;
    if (drag.HotZoneBelow && core::hasGenerator(s.system.UiDeviceType))
        r.changes.GeneratorView = !s.display.Generator;
    r.notify = Notify::Layout;
    return r;
}

} // namespace kx::display
