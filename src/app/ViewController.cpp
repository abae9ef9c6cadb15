// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ViewController.h"

#include "app/ScopeController.h"
#include "app/ScopeSession.h"
#include "ui/MenuModel.h"

namespace kx::app {

namespace {

display::Availability featuresThere() {
    display::Availability a;
    a.spectrum = ui::menuEnabled("Menu_FFT_A1");
    a.analyzers = ui::menuEnabled("Menu_NA");
    return a;
}

Effect effectOf(display::Notify n) {
    switch (n) {
    case display::Notify::Refresh:
        return Effect::Refresh;
    case display::Notify::SettingsChanged:
        return Effect::SettingsChanged;
    case display::Notify::Layout:
        return Effect::Layout | Effect::Refresh;
    case display::Notify::None:
        break;
    }
    return Effect::None;
}

} // namespace

void ViewController::applyGesture(const display::GestureResult& r) {
    display::applyChanges(r.changes, m_s.state());
    // A pointer moving over the plot changes nothing most of the time: nothing to show then.
    if (r.notify != display::Notify::None || r.changes.any()) m_s.apply(effectOf(r.notify));
    if (r.recomputeSpectra) m_s.spectrum().restartAndRecomputeAll();
    if (!r.menuItem.empty()) m_s.menuItem(r.menuItem);
    const auto& scope = m_s.state().scope;
    if (r.toggleRun) m_s.scope().run(!(scope.Running && !scope.SingleMode));
    if (r.toggleSingle) m_s.scope().single(!(scope.Running && scope.SingleMode));
}

DraggedLevel ViewController::pointer(PointerPhase phase, const display::PointerEvent& event,
                                     const display::ScreenGeometry& g) {
    display::PointerEvent p = event;
    {
        std::lock_guard lock(m_s.background().mutex);
        p.backgroundExists = m_s.background().header[core::fh::CaptureLength] != 0;
    }
    const core::FrameHeader header = m_s.frameHeader();
    const core::InstrumentState& state = m_s.state();
    switch (phase) {
    case PointerPhase::Press:
        applyGesture(display::pressPointer(state, g, header, p, m_drag));
        break;
    case PointerPhase::Move:
        applyGesture(display::movePointer(state, g, header, p, m_drag));
        break;
    case PointerPhase::Release:
        applyGesture(display::releasePointer(state, g, header, p, m_drag));
        break;
    case PointerPhase::DoubleClick:
        applyGesture(display::doubleClick(state, g, header, p, m_drag));
        // The toolkit sends the double click in place of the second press.
        applyGesture(display::pressPointer(state, g, header, p, m_drag));
        break;
    }
    switch (m_drag.DragTarget) {
    case display::DragItem::LevelA1:
        return DraggedLevel::A1;
    case display::DragItem::LevelA2:
        return DraggedLevel::A2;
    default:
        return DraggedLevel::None;
    }
}

bool ViewController::wheel(display::WheelEvent event, const display::ScreenGeometry& g) {
    event.available = featuresThere();
    const core::FrameHeader header = m_s.frameHeader();
    const display::GestureResult r = display::wheel(m_s.state(), g, header, event);
    applyGesture(r);
    return r.handled;
}

bool ViewController::key(display::KeyEvent event, const display::ScreenGeometry& g) {
    event.available = featuresThere();
    const core::FrameHeader header = m_s.frameHeader();
    const display::GestureResult r = display::keyPress(m_s.state(), g, header, event);
    applyGesture(r);
    return r.handled;
}

display::BackgroundMenuItems ViewController::backgroundItems() const {
    std::scoped_lock lock(m_s.frame().mutex, m_s.background().mutex);
    return display::backgroundMenuItems(m_s.frame(), m_s.background());
}

void ViewController::backgroundSwap() {
    display::SwapOutcome out;
    {
        std::scoped_lock lock(m_s.frame().mutex, m_s.background().mutex);
        out = display::swapWithBackground(m_s.state(), m_s.frame(), m_s.background(), m_s.names(),
                                          m_s.window().backgroundFirstSample());
    }
    if (!out.swapped) {
        m_s.apply(Effect::None);
        return;
    }
    if (out.restartSpectra) m_s.spectrum().restartAndRecomputeAll();
    if (m_s.window().spectrumShown()) {
        m_s.window().setSpectrumScroll(out.scrollPos);
    } else {
        m_s.state().scope.X_Pos = static_cast<std::int32_t>(out.scrollPos);
        m_s.window().setScrollRange(out.scrollMax);
    }
    m_s.apply(Effect::SettingsChanged);
}

void ViewController::backgroundClear() {
    {
        std::lock_guard lock(m_s.background().mutex);
        display::clearBackground(m_s.state(), m_s.background(), m_s.names());
    }
    m_s.apply(Effect::Refresh);
}

} // namespace kx::app
