// SPDX-License-Identifier: GPL-3.0-or-later
// The text parts of the signal area: readout rows, trigger-event label and overlays.
#include "display/Colors.h"
#include "display/FrameView.h"
#include "display/OverlayTexts.h"
#include "display/PixelCanvas.h"
#include "display/SpectrumReadouts.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace kx::display {

namespace {

bool asciiOnly(const std::string& t) {
    return std::all_of(t.begin(), t.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

ReadoutContext contextOf(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                         const core::FrameRecord& frame, const ScreenGeometry& g, const LinkView& link,
                         std::int64_t scrollPos, bool sinx) {
    const FftStates fft = computeFftStates(state.fft, frame.header);
    return ReadoutContext{state,
                          derived,
                          frame.header,
                          g,
                          link.sources,
                          scrollPos,
                          sinx,
                          link.deviceReady,
                          fft.a1 == kFftShown,
                          fft.a2 == kFftShown};
}

} // namespace

void FrameView::drawPlacedTexts(const TextList& texts, const GlyphSet& glyphs) {
    PixelCanvas canvas(m_screen);
    bool painterNeeded = false;
    for (const PlacedText& t : texts) {
        if (asciiOnly(t.text))
            glyphs.draw(canvas, t.x, t.y, t.text, toQRgb(t.color));
        else
            painterNeeded = true;
    }
    if (!painterNeeded) return;
    // Only the Russian overlay lines get here, and only in debug mode.
    QPainter p(&m_screen);
    QFont font(m_fontFamily);
    font.setPixelSize(glyphs.pixelHeight() > 0 ? glyphs.pixelHeight() : 11);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    for (const PlacedText& t : texts) {
        if (asciiOnly(t.text)) continue;
        p.setPen(QColor::fromRgb(toQRgb(t.color)));
        p.drawText(t.x, t.y + ascent,
                   QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size())));
    }
}

void FrameView::drawReadoutTexts(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                                 const core::FrameRecord& frame, const LinkView& link) {
    const ReadoutContext c = contextOf(state, derived, frame, m_geometry, link, m_scrollPos, m_sinxActive);
    buildReadoutTexts(c, m_texts);
    if (m_spectrum != nullptr && (c.spectrumA1 || c.spectrumA2)) {
        SpectrumReadoutData d;
        d.cross = m_spectrum->crossPhase();
        d.fftScrollPos = m_fftScrollPos;
        d.distortionShown = state.display.Distortion;
        if (d.distortionShown) {
            const int shown = state.fft.View_A2 ? 1 : 0;
            if (shown == 0 ? c.spectrumA1 : c.spectrumA2)
                d.distortion = m_spectrum->distortion(shown, state.fft, frame.header);
        }
        appendSpectrumReadouts(c, d, m_texts);
    }
    drawPlacedTexts(m_texts, m_readoutFont);
}

void FrameView::drawOverlayTexts(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                                 const core::FrameRecord& frame, const LinkView& link) {
    const auto& d = state.display;
    const bool debug = state.system.DebugMode;
    const bool ets = d.ETS_Stat && debug && frame.header[core::fh::EtsState] != 0;
    if (m_geometry.CompactScreen || !(d.Extra_Info || (d.USB_Stat && debug) || ets)) return;
    buildOverlayTexts(contextOf(state, derived, frame, m_geometry, link, m_scrollPos, m_sinxActive), m_texts);
    drawPlacedTexts(m_texts, m_overlayFont);
}

void FrameView::drawTriggerEventLabel(const core::InstrumentState& state,
                                      const core::DerivedQuantities& derived, const core::FrameRecord& frame,
                                      const LinkView& link, bool spectrum) {
    const auto label =
        triggerEventLabel(contextOf(state, derived, frame, m_geometry, link, m_scrollPos, m_sinxActive));
    if (!label) return;
    const auto& roles = state.display.colors;
    std::uint32_t color = channelColors(roles)[static_cast<std::size_t>(label->channel)];
    if (spectrum) color = fade(color, roles.ColorBackground, 2.0);
    const QRgb pen = toQRgb(color);
    const QRgb brush = toQRgb(roles.ColorBackground);
    const int h = m_readoutFont.pixelHeight();
    const int x = label->x, y = label->y;
    const int w = m_readoutFont.width(label->text);

    PixelCanvas canvas(m_screen);
    // Box: right and bottom edges inclusive of the frame, as a GDI rectangle leaves them out.
    const int left = x + 1, top = y - h / 2 - 3, right = x + w + 6, bottom = y + h / 2 + 4;
    canvas.fillRect(left, top, right, bottom, brush);
    canvas.hLine(left, right - 1, top, pen);
    canvas.hLine(left, right - 1, bottom - 1, pen);
    canvas.vLine(left, top, bottom - 1, pen);
    canvas.vLine(right - 1, top, bottom - 1, pen);

    QPainter p(&m_screen);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor::fromRgb(pen));
    p.setBrush(QColor::fromRgb(brush));
    const QPoint arrow[] = {{x - 20, y - 1}, {x - 10, y - 1}, {x - 10, y - 5}, {x, y},
                            {x - 10, y + 5}, {x - 10, y + 1}, {x - 20, y + 1}};
    p.drawPolygon(arrow, 7);
    p.end();

    m_readoutFont.draw(canvas, x + 4, y - h / 2 - 1, label->text, pen);
}

} // namespace kx::display
