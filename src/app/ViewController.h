// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/BackgroundOps.h"
#include "display/Gestures.h"
#include "display/ScreenGeometry.h"

namespace kx::app {

class ScopeSession;

// Which trigger level the pointer drags (the window's picture draws its lines).
enum class DraggedLevel { None, A1, A2 };

// The signal area's pointer, wheel and keys, and the background oscillogram.
class ViewController {
public:
    explicit ViewController(ScopeSession& session) : m_s(session) {}

    enum class PointerPhase { Press, Move, Release, DoubleClick };
    DraggedLevel pointer(PointerPhase phase, const display::PointerEvent& event,
                         const display::ScreenGeometry& g);
    // Return whether the event was used.
    bool wheel(display::WheelEvent event, const display::ScreenGeometry& g);
    bool key(display::KeyEvent event, const display::ScreenGeometry& g);

    // The View menu's background items, as its opening shows them.
    display::BackgroundMenuItems backgroundItems() const;
    void backgroundSwap();
    void backgroundClear();

private:
    void applyGesture(const display::GestureResult& r);

    ScopeSession& m_s;
    display::DragState m_drag;
};

} // namespace kx::app
