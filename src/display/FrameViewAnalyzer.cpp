// SPDX-License-Identifier: GPL-3.0-or-later
// The analyzers' curves on the plot: the network analyzer's phase and amplitude, the antenna
// analyzer's graphs 2 and 3 and then graph 1, each with the trace drawer; their scales and
// the warnings on the plot.
#include "display/Colors.h"
#include "display/FrameView.h"
#include "display/PixelCanvas.h"

#include "analyzers/AnalyzerSettingsMap.h"
#include "analyzers/AnalyzerTraces.h"
#include "analyzers/AntennaGraphs.h"
#include "core/ScopeTables.h"

#include <algorithm>

namespace kx::display {

namespace {

std::uint32_t antennaColor(const core::ColorRoles& c, analyzers::AntennaQuantity q) {
    using Q = analyzers::AntennaQuantity;
    switch (q) {
    case Q::Xp:
        return c.ColorXp;
    case Q::Rp:
        return c.ColorRp;
    case Q::Phase:
        return c.ColorPhase;
    case Q::Z:
        return c.ColorZ;
    case Q::Xs:
        return c.ColorXs;
    case Q::Rs:
        return c.ColorRs;
    default:
        return c.ColorAaGraph1;
    }
}

} // namespace

void FrameView::drawAnalyzerCurve(const core::InstrumentState& state, int points,
                                  std::span<const std::int32_t> codes, std::uint32_t color) {
    const auto& g = m_geometry;
    const int zoom = core::kIqZoom[static_cast<std::size_t>(std::clamp(state.analyzer.IqZoom, 0, 4))];
    TraceParams p;
    p.mode = TraceMode::Vectors;
    p.x0 = g.PlotLeft;
    p.y0 = g.PlotTop;
    p.min = codes;
    p.max = codes;
    p.count = points;
    p.color = color;
    p.pixelsPerSample = static_cast<double>(zoom) * g.PlotWidth / points;
    m_renderer->draw(m_screen, g, state.display.colors.ColorBackground, p);
}

void FrameView::drawAnalyzerCurves(const core::InstrumentState& state, const core::FrameRecord& frame) {
    const auto& h = frame.header;
    const auto kind = h[core::fh::AnalyzerMode];
    const bool network = kind == 1 && state.analyzer.NA;
    const bool antenna = kind == 2 && state.analyzer.AA;
    if (!network && !antenna) return;
    const int n =
        std::clamp(h.signedWord(core::fh::CaptureLength), 0, static_cast<int>(core::kAnalyzerPoints));
    if (n <= 0) return;
    if (m_analyzerCodes.size() < core::kAnalyzerPoints) m_analyzerCodes.assign(core::kAnalyzerPoints, 0);
    const std::span<std::int32_t> codes(m_analyzerCodes.data(), static_cast<std::size_t>(n));
    const auto& colors = state.display.colors;
    const auto& a = state.analyzer;

    if (network) {
        const double present =
            static_cast<double>(
                core::kVoltsDiv[static_cast<std::size_t>(std::clamp(state.scope.A1.voltsDiv, 0, 11))]
                    .microVolts) *
            core::kProbeFactors[static_cast<std::size_t>(std::clamp(state.scope.A1.probe, 0, 3))];
        const double ratio = present > 0 ? static_cast<double>(h[core::fh::ScaleA1]) / present : 1.0;
        const int dbPerDiv = analyzers::networkDbPerDivFrom(a);
        if (a.NA_Phase) {
            analyzers::networkTraceCodes(frame.points, n, ratio, dbPerDiv, {}, codes);
            drawAnalyzerCurve(state, n, codes, colors.ColorPhase);
        }
        if (a.NA_Ampl) {
            analyzers::networkTraceCodes(frame.points, n, ratio, dbPerDiv, codes, {});
            drawAnalyzerCurve(state, n, codes, colors.ColorNaAmpl);
        }
        return;
    }
    if (analyzers::smithChartShown(a)) {
        drawSmithChart(state, frame, n);
        return;
    }
    const analyzers::AntennaDrawList list = analyzers::antennaDrawOrder(a.AaGraph1, a.AaGraph2, a.AaGraph3);
    const double zo = analyzers::antennaZoFrom(a);
    const analyzers::AntennaRanges ranges = analyzers::antennaRangesFrom(a);
    for (int i = 0; i < list.count; ++i) {
        const auto what = list.items[static_cast<std::size_t>(i)];
        analyzers::antennaTraceCodes(frame.points, n, zo, ranges, what, codes);
        drawAnalyzerCurve(state, n, codes, antennaColor(colors, what));
    }
}

void FrameView::drawAnalyzerScale(const analyzers::AnalyzerScale& scale, std::uint32_t color, int shift) {
    const auto& g = m_geometry;
    const GlyphSet& font = m_overlayFont;
    const QRgb pen = toQRgb(color);
    PixelCanvas canvas(m_screen);
    const auto put = [&](int line, const std::string& text) {
        if (text.empty()) return;
        const int top = g.PlotTop + line * g.PixelsPerDivY - font.pixelHeight() / 2 + shift;
        const int x = scale.right ? g.PlotLeft + g.PlotWidth + 3 : g.PlotLeft - 3 - font.width(text);
        font.draw(canvas, x, top, text, pen);
    };
    for (int i = 0; i < 9; ++i) put(i, scale.labels[static_cast<std::size_t>(i)]);
    put(0, scale.title);
}

void FrameView::drawAnalyzerScales(const core::InstrumentState& state, char dec) {
    const auto& a = state.analyzer;
    const auto& colors = state.display.colors;
    if (a.NA) {
        if (a.NA_Ampl)
            drawAnalyzerScale(analyzers::networkAmplitudeScale(analyzers::networkDbPerDivFrom(a), dec),
                              colors.ColorNaAmpl, 0);
        if (a.NA_Phase) drawAnalyzerScale(analyzers::phaseScale(), colors.ColorPhase, 0);
        return;
    }
    if (analyzers::smithChartShown(a)) return; // its circles are its scale
    const analyzers::AntennaRanges ranges = analyzers::antennaRangesFrom(a);
    if (const auto q1 = analyzers::antennaGraph1Quantity(a.AaGraph1))
        drawAnalyzerScale(analyzers::antennaScale(*q1, ranges, dec), colors.ColorAaGraph1, 0);
    const auto q2 = analyzers::antennaGraph23Quantity(a.AaGraph2);
    const auto q3 = analyzers::antennaGraph23Quantity(a.AaGraph3);
    const bool both = q2 && q3;
    if (q2)
        drawAnalyzerScale(analyzers::antennaScale(*q2, ranges, dec), antennaColor(colors, *q2),
                          both ? -5 : 0);
    if (q3)
        drawAnalyzerScale(analyzers::antennaScale(*q3, ranges, dec), antennaColor(colors, *q3), both ? 5 : 0);
}

void FrameView::drawAnalyzerMessages(const core::InstrumentState& state, const core::FrameRecord& frame) {
    const bool antenna = state.analyzer.AA;
    const std::string text = analyzers::analyzerMessage(frame.header, antenna, state.system.RussianUi);
    if (text.empty()) return;
    const auto& colors = state.display.colors;
    drawPlotMessage(text, antenna ? colors.ColorAaGraph1 : colors.ColorNaAmpl, colors.ColorBackground);
}

} // namespace kx::display
