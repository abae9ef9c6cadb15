// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DeviceModel.h"
#include "core/state/AnalyzerState.h"
#include "display/GestureMath.h"
#include "display/Gestures.h"

#include <algorithm>

namespace kx::display {
namespace {

using gesture::raise;
using gesture::stepIndex;

constexpr int kAveChoices = 7;  // "Ave" 0..6
constexpr int kGraph1Swr = 1;   // graph 1 "SWR"
constexpr int kGraph1Q = 3;     // graph 1 "Q"
constexpr int kScrollStep = 10; // Shift+Left / Shift+Right, in samples

// One step along a choice table; sets `out` and asks for `n` only when the choice moves.
template <std::size_t N, class T>
void stepChoice(GestureResult& r, std::optional<std::int32_t>& out, std::int32_t current, int direction,
                const std::array<T, N>&, Notify n) {
    const int next = stepIndex(current, direction, static_cast<int>(N));
    if (next == current) return;
    out = next;
    raise(r, n);
}

void stepRange(GestureResult& r, std::optional<std::int32_t>& out, std::int32_t current, std::int32_t next,
               Notify n) {
    if (next == current) return;
    out = next;
    raise(r, n);
}

// F: the menu item whose click handler the key runs.
std::string_view fftItemForKey(const core::InstrumentState& s, bool ctrl) {
    const bool a1Enabled = s.scope.A1.shown; // the FFT item of a hidden channel is greyed
    const bool a2Enabled = s.scope.A2.shown;
    if (s.fft.View_A1) return ctrl || !a2Enabled ? "Menu_FFT_A1" : "Menu_FFT_A2";
    if (s.fft.View_A2) return ctrl || !a1Enabled ? "Menu_FFT_A2" : "Menu_FFT_A1";
    if (a1Enabled) return "Menu_FFT_A1";
    if (a2Enabled) return "Menu_FFT_A2";
    return {};
}

} // namespace

GestureResult keyPress(const core::InstrumentState& s, const ScreenGeometry&, const core::FrameHeader&,
                       const KeyEvent& e) {
    GestureResult r;
    auto& c = r.changes;
    const Key k = e.key;
    const bool ctrl = e.ctrl;
    const bool shift = e.shift;
    const bool plain = !ctrl && !shift;
    const bool upDown = k == Key::Up || k == Key::Down;
    const int ud = k == Key::Up ? 1 : -1;
    const bool leftRight = k == Key::Left || k == Key::Right;
    const int lr = k == Key::Right ? 1 : -1;
    const bool fftChecked = s.fft.View_A1 || s.fft.View_A2;
    const bool analyzerOn = s.analyzer.analyzerOn();
    const auto& a = s.analyzer;
    const auto& f = s.fft;

    // A matching row uses the key; one whose feature is missing changes nothing.
    auto fires = [&](bool condition, bool available) {
        if (!condition) return false;
        r.handled = true;
        if (!available) r.notAvailable = true;
        return available;
    };
    const bool spectrum = e.available.spectrum;
    const bool analyzers = e.available.analyzers;

    if (fires(k == Key::F, spectrum)) r.menuItem = fftItemForKey(s, ctrl);

    if (fires(upDown && plain && a.NA, analyzers))
        stepChoice(r, c.naAmpRange, a.NaAmpRange, ud, core::kNaDbPerDiv, Notify::Refresh);

    if (fires(upDown && !shift && a.AA, analyzers)) {
        if (ctrl)
            stepChoice(r, c.aaImpRange, a.AaImpRange, ud, core::kAaImpRange, Notify::Refresh);
        else if (a.AaGraph1 == kGraph1Swr)
            stepChoice(r, c.aaSwrRange, a.AaSwrRange, ud, core::kAaSwrSpan, Notify::Refresh);
        else if (a.AaGraph1 == kGraph1Q)
            stepChoice(r, c.aaQRange, a.AaQRange, ud, core::kAaQRange, Notify::Refresh);
    }

    if (fires(leftRight && ctrl && !shift && analyzerOn, analyzers))
        stepChoice(r, c.iqZoom, a.IqZoom, lr, core::kIqZoom, Notify::Refresh);

    if (fires(k == Key::N && ctrl && fftChecked, spectrum)) {
        c.fftAveOn = !f.Ave_On;
        r.recomputeSpectra = true;
        raise(r, Notify::Refresh);
    }

    if (fires(k == Key::N && !ctrl && fftChecked && f.Ave_On, spectrum)) {
        c.fftAve = f.Ave >= 0 && f.Ave < kAveChoices - 1 ? f.Ave + 1 : 0;
        r.recomputeSpectra = true; // another depth: the averages start again
        raise(r, Notify::Refresh);
    }

    if (fires(k == Key::D && ctrl && fftChecked, spectrum)) {
        c.fft15dB = !f.dB15_div;
        raise(r, Notify::Refresh);
    }

    // Both spectra need a second analog channel.
    if (fires(k == Key::W && ctrl && fftChecked && core::hasA2Channel(s.system.UiDeviceType), spectrum)) {
        c.fftCalcBoth = !f.Calc_Both;
        raise(r, Notify::Refresh);
    }

    if (fires(k == Key::V && fftChecked, spectrum)) {
        c.fftDbvToVolt = !f.dbv_v;
        raise(r, Notify::Refresh);
    }

    if (fires(leftRight && ctrl && fftChecked, spectrum))
        stepChoice(r, c.fftZoom, f.Zoom, lr, gesture::kFftZoom, Notify::Refresh);

    if (fires(k == Key::Space, true)) r.toggleRun = true;
    if (fires(k == Key::Enter, true)) r.toggleSingle = true;

    if (fires(leftRight && plain, true))
        stepRange(r, c.timeBase, s.scope.timeBase, steppedTimeBase(s, lr), Notify::SettingsChanged);

    // Up is the larger volts per division, i.e. the less sensitive range.
    if (fires(upDown && plain && !analyzerOn, true))
        stepRange(r, c.voltsDivA1, s.scope.A1.voltsDiv, steppedVoltsDiv(s, false, -ud),
                  Notify::SettingsChanged);

    // A model without an A2 channel has no A2 buttons to step through.
    if (fires(upDown && shift && !ctrl && core::hasA2Channel(s.system.UiDeviceType), true))
        stepRange(r, c.voltsDivA2, s.scope.A2.voltsDiv, steppedVoltsDiv(s, true, -ud),
                  Notify::SettingsChanged);

    if (fires(leftRight && shift, true)) {
        const std::int64_t moved = static_cast<std::int64_t>(s.scope.X_Pos) + lr * kScrollStep;
        const auto next =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, std::max(e.scrollMax, 0)));
        stepRange(r, c.X_Pos, s.scope.X_Pos, next, Notify::Refresh);
    }
    return r;
}

} // namespace kx::display
