// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AnalyzerScales.h"
#include "core/DerivedQuantities.h"
#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "display/ActivityIndicator.h"
#include "display/FrameDecisions.h"
#include "display/Glyphs.h"
#include "display/Persistence.h"
#include "display/ReadoutTexts.h"
#include "display/ScreenGeometry.h"
#include "display/SpectrumProcessor.h"
#include "display/TraceRenderer.h"

#include <QImage>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace kx::decoders {
class SerialDecoder;
}

namespace kx::display {

// What the window applies to its widgets after the signal-area update.
struct FrameOutcome {
    bool SinxActive = false;
    int FftStateA1 = kFftOff, FftStateA2 = kFftOff;
    int scrollMax = 0; // range of ScrollBar_X_POS: 0..scrollMax
    bool fftA1Enabled = true, fftA2Enabled = true;
    int fftLog2 = 10; // transform size for the spectrum
};

// The spectrum states belong in the frame's header (data files store them).
inline void storeFftStates(core::FrameHeader& h, const FrameOutcome& o) {
    h[fftword::FftStateA1] = static_cast<std::uint32_t>(o.FftStateA1);
    h[fftword::FftStateA2] = static_cast<std::uint32_t>(o.FftStateA2);
}

// Which trigger level the pointer is dragging, if any: its marker then draws the level and
// hysteresis lines across the plot.
enum class LevelDrag { None, A1, A2 };

// The signal area of the main window: owns ScreenBitmap and PersistenceBitmap and draws a
// frame into them. Everything runs in the GUI thread inside the synchronised update, except
// the two fade requests, which any thread may raise. Needs a QGuiApplication (fonts).
class FrameView {
public:
    FrameView();
    ~FrameView();
    FrameView(const FrameView&) = delete;
    FrameView& operator=(const FrameView&) = delete;

    // Geometry from the paint box size; both bitmaps are resized and cleared.
    void setPaintBoxSize(int width, int height);
    const ScreenGeometry& geometry() const { return m_geometry; }

    // Everything that depends on the samples: background, grid, traces, persistence, spectra,
    // cursors. Unchecks the FFT item of a hidden channel and resets X_Pos when it is out of
    // range. Writes the spectrum words of the header (data files keep them).
    FrameOutcome signalAreaUpdate(core::InstrumentState& state, const core::DerivedQuantities& derived,
                                  core::FrameRecord& frame, const LinkView& link);

    // Margins, plot frame, activity indicator, readout texts and markers; alone for a
    // status refresh.
    void readoutUpdate(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                       const core::FrameRecord& frame, const LinkView& link);

    // Paint it straight from here (QPainter::drawImage): a kept copy would make the next
    // frame's drawing detach and reallocate the bitmap.
    const QImage& screenBitmap() const { return m_screen; }
    const QImage& persistenceBitmap() const { return m_persistence; }

    void requestFadeRestart() { m_fadeRestartRequest.store(true, std::memory_order_relaxed); }
    void requestFadeStep() { m_fadeStepRequest.store(true, std::memory_order_relaxed); }
    bool fadeDone() const { return m_fadeDone; }
    int fadeCounter() const { return m_fadeCounter; }
    void clearPersistence();

    void setLevelDrag(LevelDrag d) { m_levelDrag = d; }

    // First analog sample and first spectrum bin shown, as the last update chose them.
    std::int64_t scrollPos() const { return m_scrollPos; }
    std::int64_t fftScrollPos() const { return m_fftScrollPos; }

    // The spectra of the spectrum view; null: no spectrum is computed or drawn. The window keeps it.
    void setSpectrum(SpectrumProcessor* spectrum) { m_spectrum = spectrum; }

    // The background oscillogram drawn behind the live traces; null: none. The window keeps it.
    void setBackground(const core::FrameRecord* background) { m_background = background; }
    // The serial decoder whose characters are drawn in bands; null: none. The window keeps it.
    void setDecoder(const decoders::SerialDecoder* decoder) { m_decoder = decoder; }
    // The background's first sample in the last drawing: a swap scrolls the new main frame there.
    std::int64_t backgroundFirstSample() const { return m_bgFirstSample; }
    // Whether the last update showed a spectrum; then a swap sets the scroll position directly.
    bool spectrumShown() const { return m_spectrumShown; }
    void setScrollPos(std::int64_t pos) { m_scrollPos = pos; }

private:
    void persistenceFadeStepIfDue(const core::InstrumentState& state, bool persistenceOn);
    void drawLiveTraces(QImage& target, int x0, int y0, const core::InstrumentState& state,
                        const core::DerivedQuantities& derived, const core::FrameRecord& frame);
    void drawMarkers(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                     const core::FrameRecord& frame);

    // Later work goes into these; each is called at its place in the frame.
    void drawBackgroundOscillogram(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                                   const core::FrameRecord& frame);
    // The decoding and the listing are the session's part of the step; this draws the bands.
    void runSerialDecoder(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                          const core::FrameRecord& frame, bool drawAnnotations);
    void drawTriggerEventLabel(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                               const core::FrameRecord& frame, const LinkView& link, bool spectrum);
    // The network analyzer's amplitude and phase, or the antenna analyzer's graphs.
    void drawAnalyzerCurves(const core::InstrumentState& state, const core::FrameRecord& frame);
    // The antenna analyzer's reflection on a Smith chart, the cursors' points marked.
    void drawSmithChart(const core::InstrumentState& state, const core::FrameRecord& frame, int points);
    void drawAnalyzerCurve(const core::InstrumentState& state, int points,
                           std::span<const std::int32_t> codes, std::uint32_t color);
    void computeSpectra(const core::InstrumentState& state, core::FrameRecord& frame, const FftStates& fft);
    void drawSpectrumTrace(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                           const core::FrameRecord& frame, const FftStates& fft);
    void drawSpectrumMessages(const core::InstrumentState& state, const FftStates& fft);
    void drawSpectrumReadouts(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                              const core::FrameRecord& frame, const LinkView& link);
    // A message centred on the plot at 13/16 of its height, in a framed box.
    void drawPlotMessage(const std::string& text, std::uint32_t color, std::uint32_t background);
    void drawAnalyzerMessages(const core::InstrumentState& state, const core::FrameRecord& frame);
    void drawOverlayTexts(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                          const core::FrameRecord& frame, const LinkView& link);
    void drawReadoutTexts(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                          const core::FrameRecord& frame, const LinkView& link);
    // ASCII through the glyph cache, anything else (Russian) through a painter.
    void drawPlacedTexts(const TextList& texts, const GlyphSet& glyphs);
    // The labels beside the plot for the curves shown; titles on the top grid line.
    void drawAnalyzerScales(const core::InstrumentState& state, char decimalSeparator);
    void drawAnalyzerScale(const analyzers::AnalyzerScale& scale, std::uint32_t color, int shift);
    void drawBackgroundMarkers(const core::InstrumentState& state, const core::DerivedQuantities& derived);
    void drawBackgroundZeroMarkers(const core::InstrumentState& state);

    // A shown background oscillogram of digital channel n takes half its lane.
    bool backgroundHasDigital(const core::InstrumentState& state, int n) const;
    bool backgroundShown(const core::InstrumentState& state) const;

    ScreenGeometry m_geometry;
    QImage m_screen;      // ScreenBitmap
    QImage m_persistence; // PersistenceBitmap
    std::unique_ptr<TraceRenderer> m_renderer;
    std::vector<std::int32_t> m_analyzerCodes; // one curve's screen codes, sized once

    int m_fadeCounter = 0;
    bool m_fadeDone = true;
    std::atomic<bool> m_fadeRestartRequest{false};
    std::atomic<bool> m_fadeStepRequest{false};

    std::int64_t m_scrollPos = 0;
    std::int64_t m_fftScrollPos = 0;
    bool m_sinxActive = false;
    std::array<std::uint32_t, 6> m_traceColors{};
    LevelDrag m_levelDrag = LevelDrag::None;
    const core::FrameRecord* m_background = nullptr;
    SpectrumProcessor* m_spectrum = nullptr;
    const decoders::SerialDecoder* m_decoder = nullptr;
    std::int64_t m_bgFirstSample = 0;
    bool m_spectrumShown = false;

    QString m_fontFamily;
    GlyphSet m_labelFont;   // "D1".."D4"
    GlyphSet m_debugFont;   // marker codes in debug mode
    GlyphSet m_readoutFont; // readout rows and the trigger-event label: 11 or 13 pixels
    GlyphSet m_overlayFont; // overlays at 11 pixels
    GlyphSet m_bandFont;    // decoder band labels: 11 or 13 pixels
    TextList m_texts;       // kept from frame to frame
};

} // namespace kx::display
