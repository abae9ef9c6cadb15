// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumFrame.h"
#include "core/ScopeTables.h"
#include "core/state/AnalyzerState.h"
#include "display/FrameDecisions.h"
#include "display/GestureMath.h"
#include "display/Gestures.h"

#include <algorithm>

namespace kx::display {
namespace {

using gesture::roundAway;

// How the horizontal scale changed: f >= 1 (1 at the end of a scale), p pixels per sample,
// point or bin before the step, and the record's extent in divisions after it.
struct Zoom {
    double f = 1;
    double p = 0;
    double extent = 0;
};

template <class Table> double stepFactor(const Table& t, int from, int to) {
    const double a = t[static_cast<std::size_t>(from)];
    const double b = t[static_cast<std::size_t>(to)];
    return a > b ? a / b : b / a;
}

// New scroll position that keeps the sample under the pointer where it is.
std::int32_t scrollAround(const core::InstrumentState& s, const core::FrameHeader& h, const WheelEvent& e,
                          double xOffset, const Zoom& z) {
    double shift = e.up ? (1 - 1 / z.f) * xOffset / z.p : xOffset / z.p * (z.f - 1);
    // An equivalent-time spectrum has ten bins per scroll-bar step.
    if (h[fftword::EtsFftChannel] != 0) shift *= 0.1;
    const std::int64_t moved = e.up ? s.scope.X_Pos + roundAway(shift) : s.scope.X_Pos - roundAway(shift);
    if (roundAway(z.extent) <= 10) return 0; // the whole record fits on the screen
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, std::max(e.scrollMax, 0)));
}

} // namespace

GestureResult wheel(const core::InstrumentState& s, const ScreenGeometry& g, const core::FrameHeader& h,
                    const WheelEvent& e) {
    GestureResult r;
    if (e.x < 0 || e.y < 0 || e.x >= g.width || e.y >= g.height) return r;
    r.handled = true;
    const int dir = e.up ? 1 : -1;
    const double xOffset = std::clamp(e.x - g.PlotLeft, 0, g.PlotWidth);
    Zoom z;

    if (s.analyzer.analyzerOn()) {
        if (!e.available.analyzers) {
            r.notAvailable = true;
            return r;
        }
        const int count = static_cast<int>(core::kIqZoom.size());
        const int from = std::clamp(s.analyzer.IqZoom, 0, count - 1);
        const int to = gesture::stepIndex(from, dir, count);
        r.changes.iqZoom = to;
        r.notify = Notify::Refresh;
        const std::uint32_t points = h[core::fh::CaptureLength];
        if (points == 0) return r;
        z.f = stepFactor(core::kIqZoom, from, to);
        z.p = core::kIqZoom[static_cast<std::size_t>(from)] * static_cast<double>(g.PlotWidth) / points;
        z.extent = core::kIqZoom[static_cast<std::size_t>(to)] * 10.0;
    } else if (h[fftword::FftStateA1] != 0 || h[fftword::FftStateA2] != 0) {
        if (!e.available.spectrum) {
            r.notAvailable = true;
            return r;
        }
        const std::uint32_t bins = h[fftword::FftPoints];
        if (bins == 0 || (h[fftword::FftStateA1] != kFftShown && h[fftword::FftStateA2] != kFftShown))
            return r;
        const int count = static_cast<int>(gesture::kFftZoom.size());
        const int from = std::clamp(s.fft.Zoom, 0, count - 1);
        const int to = gesture::stepIndex(from, dir, count);
        r.changes.fftZoom = to;
        r.notify = Notify::Refresh;
        z.f = stepFactor(gesture::kFftZoom, from, to);
        z.p = gesture::kFftZoom[static_cast<std::size_t>(from)] * static_cast<double>(g.PlotWidth) /
              (bins * 0.5);
        z.extent = gesture::kFftZoom[static_cast<std::size_t>(to)] * 10.0;
    } else {
        const int from = std::clamp(s.scope.timeBase, 0, static_cast<int>(core::kTimeBases.size()) - 1);
        const int to = steppedTimeBase(s, dir);
        r.changes.timeBase = to;
        r.notify = Notify::SettingsChanged;
        // While armed, the next record comes at the new time base: the view is left alone.
        if (h[core::fh::CaptureLength] == 0 || s.scope.Running) return r;
        const auto nsFrom = static_cast<double>(core::kTimeBases[static_cast<std::size_t>(from)].nsPerDiv);
        const auto nsTo = static_cast<double>(core::kTimeBases[static_cast<std::size_t>(to)].nsPerDiv);
        const auto periodPs = static_cast<double>(h.get64(core::fh::SamplePeriodPs));
        z.f = nsFrom > nsTo ? nsFrom / nsTo : nsTo / nsFrom;
        z.p = g.PixelsPerDivX * 0.001 * periodPs / nsFrom;
        const double divisions = h[core::fh::AnalogCount] * 0.001 * periodPs / nsFrom;
        z.extent = e.up ? divisions * z.f : divisions / z.f;
    }

    if (!(z.p > 0)) return r; // no sample period: nothing to keep in place
    r.changes.X_Pos = scrollAround(s, h, e, xOffset, z);
    return r;
}

} // namespace kx::display
