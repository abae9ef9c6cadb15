// SPDX-License-Identifier: GPL-3.0-or-later
// FrameView's spectrum: the computation step, the trace and the messages.
#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumTexts.h"
#include "display/Colors.h"
#include "display/FrameView.h"
#include "display/PixelCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace kx::display {

void FrameView::computeSpectra(const core::InstrumentState& state, core::FrameRecord& frame,
                               const FftStates& fft) {
    if (m_spectrum != nullptr) m_spectrum->compute(state.fft, fft, frame.header, frame.channels);
}

void FrameView::drawSpectrumTrace(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                                  const core::FrameRecord& frame, const FftStates& fft) {
    if (m_spectrum == nullptr) return;
    // At most one of the two items is checked; that channel's spectrum is drawn.
    int channel = -1;
    if (state.fft.View_A1 && fft.a1 == kFftShown) channel = 0;
    if (state.fft.View_A2 && fft.a2 == kFftShown) channel = 1;
    if (channel < 0) return;
    const double scaleUv = static_cast<double>(channel == 0 ? derived.MicroVoltsA1 : derived.MicroVoltsA2);
    const SpectrumTrace trace = m_spectrum->displayTrace(channel, state.fft, frame.header, scaleUv);
    if (trace.bins <= 0) return;
    const auto& g = m_geometry;
    TraceParams p;
    p.mode = static_cast<TraceMode>(std::clamp(derived.DrawMode, 0, 1));
    p.x0 = g.PlotLeft;
    p.y0 = g.PlotTop;
    p.min = trace.codes;
    p.max = trace.codes;
    p.count = trace.bins;
    p.color = state.display.colors.ColorFft;
    p.gain = 1;
    p.captureZero = 0;
    p.screenZero = 0;
    p.pixelsPerSample =
        analyzers::spectrumZoomFactor(state.fft.Zoom) * static_cast<double>(g.PlotWidth) / trace.bins;
    p.firstSample = clampToInt(m_fftScrollPos);
    p.gap = false;
    p.header = &frame.header;
    m_renderer->draw(m_screen, g, state.display.colors.ColorBackground, p);
}

void FrameView::drawSpectrumMessages(const core::InstrumentState& state, const FftStates& fft) {
    const bool a1Checked = state.fft.View_A1, a2Checked = state.fft.View_A2;
    if (!a1Checked && !a2Checked) return;
    const int checked = a2Checked ? 1 : 0;
    const int checkedState = checked == 0 ? fft.a1 : fft.a2;
    const int otherState = checked == 0 ? fft.a2 : fft.a1;
    int channel = -1, value = 0;
    if (checkedState >= kFftNotInFrame) {
        channel = checked;
        value = checkedState;
    } else if (otherState >= kFftNotInFrame) {
        channel = 1 - checked;
        value = otherState;
    }
    if (channel < 0) return;
    const std::string text = analyzers::spectrumMessage(value, channel == 1, state.system.RussianUi);
    if (!text.empty())
        drawPlotMessage(text, state.display.colors.ColorFft, state.display.colors.ColorBackground);
}

void FrameView::drawPlotMessage(const std::string& text, std::uint32_t color, std::uint32_t background) {
    const auto& g = m_geometry;
    QFont font(m_fontFamily);
    font.setPixelSize(readoutFontHeight(g));
    font.setStyleStrategy(QFont::NoAntialias);
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(line);
    const int h = readoutFontHeight(g);
    const int centre = g.PlotLeft + g.PlotWidth / 2;
    const int y = g.PlotTop + g.PlotHeight * 13 / 16;
    const QRgb pen = toQRgb(color);
    PixelCanvas canvas(m_screen);
    const int left = centre - w / 2 - 20, top = y - h, right = centre + w / 2 + 20, bottom = y + h + 1;
    canvas.fillRect(left, top, right, bottom, toQRgb(background));
    canvas.hLine(left, right - 1, top, pen);
    canvas.hLine(left, right - 1, bottom - 1, pen);
    canvas.vLine(left, top, bottom - 1, pen);
    canvas.vLine(right - 1, top, bottom - 1, pen);
    QPainter p(&m_screen);
    p.setFont(font);
    p.setPen(QColor::fromRgb(pen));
    p.drawText(centre - w / 2, y - h / 2 + metrics.ascent(), line);
}

} // namespace kx::display
