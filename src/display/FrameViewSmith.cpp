// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna analyzer's Smith chart: the circles of constant resistance and reactance, the
// reflection of the sweep against Zo, and the impedance at each vertical cursor.
#include "analyzers/AnalyzerFrame.h"
#include "analyzers/AnalyzerSettingsMap.h"
#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/SmithChart.h"
#include "core/NumberFormat.h"
#include "core/ScopeTables.h"
#include "display/Colors.h"
#include "display/FrameView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kx::display {

namespace {

QPointF toPoint(const analyzers::SmithPoint& p) {
    return {p.x, p.y};
}

void drawCircle(QPainter& p, const analyzers::SmithFrame& f, const analyzers::SmithCircle& c) {
    const QPointF centre = toPoint(analyzers::smithPoint(f, c.centre));
    p.drawEllipse(centre, c.radius * f.radius, c.radius * f.radius);
}

} // namespace

void FrameView::drawSmithChart(const core::InstrumentState& state, const core::FrameRecord& frame, int n) {
    const auto& g = m_geometry;
    const auto& colors = state.display.colors;
    const analyzers::SmithFrame f = analyzers::smithFrame(g.PlotLeft, g.PlotTop, g.PlotWidth, g.PlotHeight);
    const double zo = analyzers::antennaZoFrom(state.analyzer);

    QPainter p(&m_screen);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(g.PlotLeft, g.PlotTop, g.PlotWidth, g.PlotHeight);
    p.setBrush(Qt::NoBrush);

    // The grid, the reactance arcs clipped by the unit circle.
    p.setPen(QColor::fromRgb(toQRgb(colors.ColorGrid)));
    const QPointF centre(f.cx, f.cy);
    p.drawLine(QPointF(f.cx - f.radius, f.cy), QPointF(f.cx + f.radius, f.cy));
    for (const double v : analyzers::kSmithGridValues) drawCircle(p, f, analyzers::smithResistanceCircle(v));
    QPainterPath unit;
    unit.addEllipse(centre, f.radius, f.radius);
    p.save();
    p.setClipPath(unit, Qt::IntersectClip);
    for (const double v : analyzers::kSmithGridValues) {
        drawCircle(p, f, analyzers::smithReactanceCircle(v));
        drawCircle(p, f, analyzers::smithReactanceCircle(-v));
    }
    p.restore();
    p.setPen(QColor::fromRgb(toQRgb(colors.ColorGridFrame)));
    p.drawEllipse(centre, f.radius, f.radius);

    // The reflection, point to point where both have data.
    p.setPen(QColor::fromRgb(toQRgb(colors.ColorAaGraph1)));
    bool joined = false;
    QPointF last;
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double re = frame.points.re[i], im = frame.points.im[i];
        if (!analyzers::hasAnalyzerData(re, im)) {
            joined = false;
            continue;
        }
        const auto q = analyzers::antennaQuantities({re, im}, 50.0);
        const QPointF here = toPoint(analyzers::smithPoint(f, analyzers::smithReflection(q.z, zo)));
        if (joined)
            p.drawLine(last, here);
        else
            p.drawPoint(here);
        last = here;
        joined = true;
    }

    // Each vertical cursor's point: a ring and its impedance and frequency beside it.
    const auto& d = state.display;
    if (d.cursors == core::CursorMode::None) return;
    const int zoom = core::kIqZoom[static_cast<std::size_t>(std::clamp(state.analyzer.IqZoom, 0, 4))];
    const auto& h = frame.header;
    QFont font(m_fontFamily);
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const QFontMetrics metrics(font);
    p.setPen(QColor::fromRgb(toQRgb(colors.ColorMarkers)));
    const int cursors[] = {d.cursors == core::CursorMode::Double ? d.CursorX1 : d.CursorX, d.CursorX2};
    const int count = d.cursors == core::CursorMode::Double ? 2 : 1;
    for (int c = 0; c < count; ++c) {
        const int k = analyzers::smithCursorIndex(cursors[c], n, zoom);
        const auto i = static_cast<std::size_t>(k);
        const double re = frame.points.re[i], im = frame.points.im[i];
        if (!analyzers::hasAnalyzerData(re, im)) continue;
        const auto q = analyzers::antennaQuantities({re, im}, 50.0);
        const QPointF at = toPoint(analyzers::smithPoint(f, analyzers::smithReflection(q.z, zo)));
        p.drawEllipse(at, 4, 4);
        const double hz =
            analyzers::analyzerPointFrequency(h.get64(core::fh::SweepStart), h.get64(core::fh::SweepSpan), n,
                                              h.signedWord(core::fh::PreTrigger), k);
        const QString lines[] = {
            QString::fromStdString(analyzers::smithImpedanceText(q.z)),
            QString::fromStdString("F = " + core::formatNumber(hz, core::UnitType::Frequency, -5))};
        // Beside the ring, on the side towards the chart's centre, so it stays on the plot.
        const int w = std::max(metrics.horizontalAdvance(lines[0]), metrics.horizontalAdvance(lines[1]));
        const double x = at.x() <= f.cx ? at.x() + 8 : at.x() - 8 - w;
        const double y = at.y() <= f.cy ? at.y() + 8 : at.y() - 8 - 2 * metrics.height();
        for (int l = 0; l < 2; ++l)
            p.drawText(QPointF(x, y + metrics.ascent() + l * metrics.height()), lines[l]);
    }
}

} // namespace kx::display
