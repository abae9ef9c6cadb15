// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pointer, wheel and key handling of the signal area as plain functions: each takes the state,
// the geometry, the frame's header and one event, and says what to change and what to run.
// No Qt here, so every gesture is tested without widgets.

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "display/ScreenGeometry.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kx::display {

// What the pointer is moving; the values are the ones the readouts and debug views show.
enum class DragItem : int {
    None = 0,
    CursorX = 1,
    CursorY = 2,
    CursorX1 = 3,
    CursorY1 = 4,
    CursorX2 = 5,
    CursorY2 = 6,
    LevelA1 = 7, // while a level is dragged its marker draws the level and hysteresis lines
    LevelA2 = 8,
    ZeroA1 = 9,
    ZeroA2 = 10,
    BgZeroA1 = 11,
    BgZeroA2 = 12,
};

// Kept by the window from one pointer event to the next.
struct DragState {
    DragItem DragTarget = DragItem::None;
    bool HotZoneAbove = false; // last press above the plot, within its columns
    bool HotZoneBelow = false; // last press below the plot, within its columns
    bool SwallowPress = false; // the press that follows a double click is eaten
};

// What the window runs once the changes are applied.
enum class Notify {
    None,
    Refresh,         // refresh notification: apply-settings and a redraw
    SettingsChanged, // settings-changed notification: also a settings frame
    Layout,          // window layout, geometry, then a redraw
};

// Every field a gesture or key may change; unset fields stay as they are.
struct StateChanges {
    std::optional<std::int32_t> CursorX, CursorY, CursorX1, CursorY1, CursorX2, CursorY2;
    std::optional<std::int32_t> ZeroA1, ZeroA2;         // scope.A1.Zero, scope.A2.Zero
    std::optional<double> LevelA1, LevelA2;             // trigger.Lev_A1, trigger.Lev_A2
    std::optional<std::int32_t> BgZeroA1, BgZeroA2;     // display.BgScreenZeroA1/A2
    std::optional<double> BgLevelA1, BgLevelA2;         // display.BgTrigLevelA1/A2
    std::optional<bool> CompactView, GeneratorView;     // display.CompactView, display.Generator
    std::optional<std::int32_t> timeBase;               // scope.timeBase
    std::optional<std::int32_t> voltsDivA1, voltsDivA2; // through core::setVoltsDiv (levels follow)
    std::optional<std::int32_t> X_Pos;                  // ScrollBar_X_POS position
    std::optional<std::int32_t> fftZoom, fftAve;        // fft.Zoom, fft.Ave
    std::optional<bool> fftAveOn, fft15dB, fftCalcBoth, fftDbvToVolt;
    std::optional<std::int32_t> iqZoom, naAmpRange, aaImpRange, aaSwrRange, aaQRange;

    bool any() const;
};

struct GestureResult {
    StateChanges changes;
    Notify notify = Notify::None;
    bool handled = false;      // the wheel or key event was used (accept it)
    bool notAvailable = false; // a branch was hit whose feature the program does not have yet
    std::string_view menuItem; // run this menu item's click handler (the F key)
    bool toggleRun = false;    // Space: flip SpeedButton_Run and run its click handler
    bool toggleSingle = false; // Enter: the same for SpeedButton_Sngl
    bool recomputeSpectra = false; // averaging changed: restart and recompute both spectra
};

// Writes the changes into the state; the window then runs `notify`.
void applyChanges(const StateChanges& changes, core::InstrumentState& state);

// Features that arrive later; until the window says they exist, their keys and wheel
// branches answer "not available" and change nothing.
struct Availability {
    bool spectrum = false;  // FFT menu items and spectra
    bool analyzers = false; // network and antenna analysers
};

enum class MouseButton { Left, Right, Other };

// Coordinates are pixels of Image_M (the same as ScreenBitmap's).
struct PointerEvent {
    int x = 0;
    int y = 0;
    MouseButton button = MouseButton::Left; // press, release: the button that changed
    bool leftDown = false;                  // move: buttons held
    bool rightDown = false;
    bool backgroundExists = false; // a background oscillogram is loaded or taken
};

struct WheelEvent {
    int x = 0; // pointer in Image_M
    int y = 0;
    bool up = true;    // wheel up zooms in
    int scrollMax = 0; // ScrollBar_X_POS maximum
    Availability available;
};

enum class Key { Other, F, N, D, W, V, Up, Down, Left, Right, Space, Enter };

struct KeyEvent {
    Key key = Key::Other;
    bool ctrl = false;
    bool shift = false;
    int scrollMax = 0; // ScrollBar_X_POS maximum
    Availability available;
};

// Button press, pointer move and button release on Image_M.
GestureResult pressPointer(const core::InstrumentState& state, const ScreenGeometry& g,
                           const core::FrameHeader& header, const PointerEvent& e, DragState& drag);
GestureResult movePointer(const core::InstrumentState& state, const ScreenGeometry& g,
                          const core::FrameHeader& header, const PointerEvent& e, DragState& drag);
GestureResult releasePointer(const core::InstrumentState& state, const ScreenGeometry& g,
                             const core::FrameHeader& header, const PointerEvent& e, DragState& drag);
// Double click: the hot zone of the last press toggles compact view or the generator view.
GestureResult doubleClick(const core::InstrumentState& state, const ScreenGeometry& g,
                          const core::FrameHeader& header, const PointerEvent& e, DragState& drag);

// Wheel over Image_M: time base, spectrum or analyser zoom around the pointer.
GestureResult wheel(const core::InstrumentState& state, const ScreenGeometry& g,
                    const core::FrameHeader& header, const WheelEvent& e);

// Key press on the main form; every row of the key table that matches fires.
GestureResult keyPress(const core::InstrumentState& state, const ScreenGeometry& g,
                       const core::FrameHeader& header, const KeyEvent& e);

// ScrollBar_X_POS moved by the user.
GestureResult scrollBarMoved(const core::InstrumentState& state, int position);

// Conversions between pointer offsets inside the plot (x' = x - PlotLeft, y' = y - PlotTop)
// and the positions kept in the state.
std::int32_t cursorPositionOf(const ScreenGeometry& g, int xOffset); // 0..5000 across the plot
std::int32_t codeFromTopOf(const ScreenGeometry& g, int yOffset);    // 0..65536 down the plot
std::int32_t codeFromBottomOf(const ScreenGeometry& g, int yOffset); // 0..65536 up the plot
int cursorColumnOf(const ScreenGeometry& g, std::int32_t position);  // x' of a vertical cursor
int cursorRowOf(const ScreenGeometry& g, std::int32_t codeFromTop);  // y' of a horizontal cursor
int markerRowOf(const ScreenGeometry& g, double codeFromBottom);     // y' of a zero or level marker

// Next time base (+1 faster, -1 slower) among the enabled buttons; the same index at an end.
std::int32_t steppedTimeBase(const core::InstrumentState& state, int direction);
// Next volts per division (+1 more sensitive, -1 less) among the ranges the model offers.
std::int32_t steppedVoltsDiv(const core::InstrumentState& state, bool a2, int direction);

} // namespace kx::display
