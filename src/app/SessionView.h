// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/ImageFile.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kx::app {

// What follows a handler's edit of the state. The session applies the effects in one place, in
// this order: model feature set, layout and geometry, captions, then the settings-changed or the
// refresh notification; the controls are synchronised with the state after every handler.
enum class Effect : std::uint8_t {
    None = 0,
    ModelFeatures = 1 << 0,
    Layout = 1 << 1,
    Captions = 1 << 2,
    Refresh = 1 << 3,
    SettingsChanged = 1 << 4,
};
constexpr Effect operator|(Effect a, Effect b) {
    return static_cast<Effect>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr bool has(Effect set, Effect e) {
    return (static_cast<std::uint8_t>(set) & static_cast<std::uint8_t>(e)) != 0;
}
// A model change: everything a different instrument shows differently.
inline constexpr Effect kModelEffects =
    Effect::ModelFeatures | Effect::Layout | Effect::Captions | Effect::SettingsChanged;

// The dialogs the window builds (Qt widgets); each edits the state through the session.
enum class Dialog : std::uint8_t {
    Trigger,
    Colors,
    Advanced,
    About,
    Generator,
    Recorder,
    Fft,
    Decoders,
    LcMeter,
    NaCalibration,
    AaCalibration,
    ZeroCalibrate,
    ZeroCalibrateM,
    FreqCalibration,
    SystemCalibration
};

// The window's side of the session: everything that touches widgets. Every call comes from the
// GUI thread.
class SessionView {
public:
    virtual ~SessionView() = default;

    virtual void applyLayout() = 0;
    virtual void applyCaptions() = 0;
    // Every control shows the state again.
    virtual void syncControls() = 0;

    // The first-start language question: true for Russian.
    virtual bool askLanguage() = 0;
    // Shows a dialog modally; returns when it is closed.
    virtual void showDialog(Dialog which) = 0;
    // Help > Contents: the manual in the desktop's viewer, or its error message.
    virtual void showHelp() = 0;
    virtual void closeWindow() = 0;
    virtual void raiseWindow() = 0;
    // Runs the GUI's event loop until `done` holds: the acquisition thread may be waiting in a
    // synchronised update that has to be served before it can stop.
    virtual void serveUntil(const std::function<bool()>& done) = 0;

    // The synchronised update's drawing, from the session's state and records.
    virtual void setCaption(const std::string& caption) = 0;
    virtual void drawSignalArea() = 0;
    virtual void drawReadouts() = 0;
    virtual void updateGeneratorPanel() {}
    // Persistence starts fading anew with the next frame.
    virtual void restartFade() = 0;

    // ScreenBitmap as it is on screen, for the picture export.
    virtual files::ImagePixels screenPixels() const = 0;

    // Where the picture stands, for the background oscillogram's swap.
    virtual std::int64_t backgroundFirstSample() const = 0;
    virtual bool spectrumShown() const = 0;
    // A swap moved the spectrum's or the time axis's scroll position.
    virtual void setSpectrumScroll(std::int64_t position) = 0;
    virtual void setScrollRange(std::int64_t maximum) = 0;
};

} // namespace kx::app
