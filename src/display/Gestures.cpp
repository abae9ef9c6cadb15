// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Gestures.h"

#include "core/ScopeControls.h"
#include "display/GestureMath.h"

#include <algorithm>

namespace kx::display {

using gesture::clampCode;
using gesture::kCodeTop;
using gesture::roundAway;

bool StateChanges::any() const {
    return CursorX || CursorY || CursorX1 || CursorY1 || CursorX2 || CursorY2 || ZeroA1 || ZeroA2 ||
           LevelA1 || LevelA2 || BgZeroA1 || BgZeroA2 || BgLevelA1 || BgLevelA2 || CompactView ||
           GeneratorView || timeBase || voltsDivA1 || voltsDivA2 || X_Pos || fftZoom || fftAve || fftAveOn ||
           fft15dB || fftCalcBoth || fftDbvToVolt || iqZoom || naAmpRange || aaImpRange || aaSwrRange ||
           aaQRange;
}

namespace {
template <class T, class U> void put(const std::optional<T>& v, U& field) {
    if (v) field = *v;
}
} // namespace

void applyChanges(const StateChanges& c, core::InstrumentState& s) {
    // Volts per division first: the levels follow the range, and an explicit level wins.
    if (c.voltsDivA1) core::setVoltsDiv(s, core::AnalogInput::A1, *c.voltsDivA1);
    if (c.voltsDivA2) core::setVoltsDiv(s, core::AnalogInput::A2, *c.voltsDivA2);

    auto& d = s.display;
    put(c.CursorX, d.CursorX);
    put(c.CursorY, d.CursorY);
    put(c.CursorX1, d.CursorX1);
    put(c.CursorY1, d.CursorY1);
    put(c.CursorX2, d.CursorX2);
    put(c.CursorY2, d.CursorY2);
    put(c.ZeroA1, s.scope.A1.Zero);
    put(c.ZeroA2, s.scope.A2.Zero);
    put(c.LevelA1, s.trigger.Lev_A1);
    put(c.LevelA2, s.trigger.Lev_A2);
    put(c.BgZeroA1, d.BgScreenZeroA1);
    put(c.BgZeroA2, d.BgScreenZeroA2);
    put(c.BgLevelA1, d.BgTrigLevelA1);
    put(c.BgLevelA2, d.BgTrigLevelA2);
    put(c.CompactView, d.CompactView);
    put(c.GeneratorView, d.Generator);
    put(c.timeBase, s.scope.timeBase);
    put(c.X_Pos, s.scope.X_Pos);
    put(c.fftZoom, s.fft.Zoom);
    put(c.fftAve, s.fft.Ave);
    put(c.fftAveOn, s.fft.Ave_On);
    put(c.fft15dB, s.fft.dB15_div);
    put(c.fftCalcBoth, s.fft.Calc_Both);
    put(c.fftDbvToVolt, s.fft.dbv_v);
    put(c.iqZoom, s.analyzer.IqZoom);
    put(c.naAmpRange, s.analyzer.NaAmpRange);
    put(c.aaImpRange, s.analyzer.AaImpRange);
    put(c.aaSwrRange, s.analyzer.AaSwrRange);
    put(c.aaQRange, s.analyzer.AaQRange);
}

GestureResult scrollBarMoved(const core::InstrumentState& state, int position) {
    GestureResult r;
    if (position == state.scope.X_Pos) return r;
    r.changes.X_Pos = std::max(position, 0);
    r.notify = Notify::Refresh;
    return r;
}

std::int32_t cursorPositionOf(const ScreenGeometry& g, int xOffset) {
    if (g.PlotWidth <= 0) return 0;
    const auto pos = roundAway(xOffset / (g.PlotWidth * 0.0002));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(pos, 0, gesture::kCursorSpan));
}

std::int32_t codeFromTopOf(const ScreenGeometry& g, int yOffset) {
    if (g.PlotHeight <= 0) return 0;
    return clampCode(roundAway(static_cast<double>(yOffset) * kCodeTop / g.PlotHeight));
}

std::int32_t codeFromBottomOf(const ScreenGeometry& g, int yOffset) {
    if (g.PlotHeight <= 0) return 0;
    // Above the plot is the top code, below it the bottom one.
    if (yOffset < 0) return kCodeTop;
    if (yOffset > g.PlotHeight) return 0;
    return clampCode(roundAway(static_cast<double>(g.PlotHeight - yOffset) * kCodeTop / g.PlotHeight));
}

int cursorColumnOf(const ScreenGeometry& g, std::int32_t position) {
    return static_cast<int>(roundAway(position * (g.PlotWidth * 0.0002)));
}

int cursorRowOf(const ScreenGeometry& g, std::int32_t codeFromTop) {
    return static_cast<int>(roundAway(static_cast<double>(codeFromTop) * g.PlotHeight / kCodeTop));
}

int markerRowOf(const ScreenGeometry& g, double codeFromBottom) {
    return g.PlotHeight - static_cast<int>(roundAway(codeFromBottom * g.PlotHeight / kCodeTop));
}

} // namespace kx::display
