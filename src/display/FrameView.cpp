// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FrameView.h"

#include "analyzers/AnalyzerSettingsMap.h"
#include "display/Colors.h"
#include "display/DecodedBand.h"
#include "display/Grid.h"
#include "display/Markers.h"
#include "display/PixelCanvas.h"

#include <algorithm>

namespace kx::display {

namespace {

constexpr int kFadeSteps = 17;

constexpr const char* kPrintableAscii =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";

} // namespace

FrameView::FrameView() : m_renderer(std::make_unique<TraceRenderer>()), m_fontFamily(tahomaFamily()) {
    m_debugFont.build(m_fontFamily, 10, "-0123456789");
    m_overlayFont.build(m_fontFamily, 11, kPrintableAscii);
    setPaintBoxSize(kDesignWidth, kDesignHeight);
}

FrameView::~FrameView() = default;

void FrameView::setPaintBoxSize(int width, int height) {
    m_geometry = computeGeometry(width, height);
    m_screen = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_screen.fill(0xFF000000u);
    m_persistence = QImage(m_geometry.PlotWidth, m_geometry.PlotHeight, QImage::Format_RGB32);
    display::clearPersistence(m_persistence);
    const int labelHeight = readoutFontHeight(m_geometry);
    if (m_labelFont.pixelHeight() != labelHeight) m_labelFont.build(m_fontFamily, labelHeight, "D1234");
    if (m_readoutFont.pixelHeight() != labelHeight)
        m_readoutFont.build(m_fontFamily, labelHeight, kPrintableAscii);
    const int bandHeight = bandFontHeight(m_geometry);
    if (m_bandFont.pixelHeight() != bandHeight) m_bandFont.build(m_fontFamily, bandHeight, kPrintableAscii);
}

void FrameView::clearPersistence() {
    display::clearPersistence(m_persistence);
}

void FrameView::persistenceFadeStepIfDue(const core::InstrumentState& state, bool persistenceOn) {
    if (persistenceOn && m_fadeRestartRequest.exchange(false, std::memory_order_relaxed)) {
        m_fadeDone = false;
        m_fadeCounter = kFadeSteps;
    }
    if (!m_fadeStepRequest.exchange(false, std::memory_order_relaxed)) return;
    if (m_fadeCounter != 0)
        --m_fadeCounter;
    else
        m_fadeDone = true;
    persistenceFadeStep(m_persistence, buildFadePalette(state.display.colors));
}

FrameOutcome FrameView::signalAreaUpdate(core::InstrumentState& state, const core::DerivedQuantities& derived,
                                         core::FrameRecord& frame, const LinkView& link) {
    FrameOutcome out;
    const auto& h = frame.header;
    const auto& g = m_geometry;
    const auto& roles = state.display.colors;
    PixelCanvas screen(m_screen);

    fillPlot(screen, g, toQRgb(roles.ColorBackground));

    // FFT items follow their channels.
    out.fftA1Enabled = state.scope.A1.shown;
    out.fftA2Enabled = state.scope.A2.shown;
    if (!out.fftA1Enabled) state.fft.View_A1 = false;
    if (!out.fftA2Enabled) state.fft.View_A2 = false;

    const FftStates fft = computeFftStates(state.fft, h);
    out.FftStateA1 = fft.a1;
    out.FftStateA2 = fft.a2;
    storeFftStates(frame.header, out);
    const bool spectrum = fft.anyShown();
    m_spectrumShown = spectrum;
    const bool smith = analyzers::smithChartShown(state.analyzer);

    // Behind a spectrum the live traces stay visible at half strength.
    const auto colors = channelColors(roles);
    for (std::size_t c = 0; c < colors.size(); ++c)
        m_traceColors[c] = spectrum ? fade(colors[c], roles.ColorBackground, 2.0) : colors[c];

    out.fftLog2 = fftLog2(state.fft.Size, h[core::fh::AnalogCount]);

    const double analogPps =
        pixelsPerSample(g.PixelsPerDivX, h.get64(core::fh::SamplePeriodPs), derived.TimeDivNs);
    if (spectrum) {
        const std::int64_t half = (std::int64_t{1} << out.fftLog2) / 2;
        if (state.scope.X_Pos < 0 || state.scope.X_Pos > half) state.scope.X_Pos = 0;
        m_fftScrollPos = state.scope.X_Pos * (h[fftword::EtsFftChannel] != 0 ? 10 : 1);
        out.scrollMax = static_cast<int>(half);
    } else {
        const std::int64_t count = h[core::fh::AnalogCount];
        if (state.scope.X_Pos < 0 || state.scope.X_Pos > count) state.scope.X_Pos = 0;
        m_scrollPos = state.scope.X_Pos;
        out.scrollMax = clampToInt(count);
        if (state.display.Grid && !smith) drawGrid(screen, g, toQRgb(roles.ColorGrid));
        if (state.display.TrigPosL)
            drawTriggerPositionLine(screen, g, toQRgb(roles.ColorTrigPos), h[core::fh::PreTrigger],
                                    m_scrollPos, analogPps);
    }

    m_sinxActive = false;
    const bool tracesHidden = ((state.fft.View_A1 || state.fft.View_A2) && !state.fft.View_Sig) ||
                              h[core::fh::AnalyzerMode] != 0 || derived.AnalyzerOn;

    if (!tracesHidden && backgroundShown(state)) drawBackgroundOscillogram(state, derived, frame);

    const bool persistenceOn = state.display.Persistence && !spectrum;
    if (persistenceOn || !m_fadeDone) persistenceFadeStepIfDue(state, persistenceOn);

    if (!tracesHidden) {
        if (persistenceOn)
            drawLiveTraces(m_persistence, 0, 0, state, derived, frame);
        else
            drawLiveTraces(m_screen, g.PlotLeft, g.PlotTop, state, derived, frame);
    }
    if (persistenceOn) blitPersistence(m_screen, g.PlotLeft, g.PlotTop, m_persistence);

    if (state.decoder.Type != 0 && h[core::fh::CaptureLength] != 0)
        runSerialDecoder(state, derived, frame, !tracesHidden);
    if (state.display.Trig_T && !tracesHidden) drawTriggerEventLabel(state, derived, frame, link, spectrum);
    if (h[core::fh::CaptureLength] != 0) drawAnalyzerCurves(state, frame);
    if (spectrum) computeSpectra(state, frame, fft);

    if (state.display.Grid && !smith) drawGrid(screen, g, toQRgb(roles.ColorGrid));
    if (spectrum) drawSpectrumTrace(state, derived, frame, fft);

    if (!smith) drawCursorLines(screen, g, state.display, toQRgb(roles.ColorMarkers));
    drawSpectrumMessages(state, fft);
    if (h[core::fh::AnalyzerMode] != 0 && derived.AnalyzerOn) drawAnalyzerMessages(state, frame);
    drawOverlayTexts(state, derived, frame, link);

    out.SinxActive = m_sinxActive;
    return out;
}

void FrameView::drawLiveTraces(QImage& target, int x0, int y0, const core::InstrumentState& state,
                               const core::DerivedQuantities& derived, const core::FrameRecord& frame) {
    const auto& h = frame.header;
    const auto& g = m_geometry;
    const std::uint32_t mask = h[core::fh::ChannelMask];
    const std::uint32_t background = state.display.colors.ColorBackground;
    const int mode = std::clamp(derived.DrawMode, 0, 2);

    const std::uint64_t analogPeriod = h.get64(core::fh::SamplePeriodPs);
    const std::uint64_t digitalPeriod = h.get64(core::fh::DigitalPeriodPs);
    const double analogPps = pixelsPerSample(g.PixelsPerDivX, analogPeriod, derived.TimeDivNs);
    const double digitalPps = pixelsPerSample(g.PixelsPerDivX, digitalPeriod, derived.TimeDivNs);
    const std::int64_t ratio = digitalSamplesPerAnalog(analogPeriod, digitalPeriod);

    TraceParams p;
    p.x0 = x0;
    p.y0 = y0;
    p.gap = true;
    p.header = &h;

    // Digital inputs first, D4 at the bottom of the stack; sin(x)/x makes no sense for them.
    p.mode = static_cast<TraceMode>(std::min(mode, 1));
    p.count = static_cast<int>(std::min<std::uint32_t>(h[core::fh::DigitalCount], core::kMaxFramePoints));
    p.captureZero = 0;
    p.pixelsPerSample = digitalPps;
    p.firstSample = clampToInt(m_scrollPos * ratio);
    for (int n = 4; n >= 1; --n) {
        const int channel = 1 + n; // D1 is channel 2
        if (!digitalShown(state.scope, n) || (mask & (1u << channel)) == 0) continue;
        const bool shared = backgroundHasDigital(state, n);
        p.gain = shared ? kDigitalGainShared : kDigitalGain;
        p.screenZero = shared ? digitalHalfLaneZero(n, !state.display.BgLaneSwap) : digitalLaneZero(n);
        p.min = frame.channels.min[static_cast<std::size_t>(channel)];
        p.max = frame.channels.max[static_cast<std::size_t>(channel)];
        p.color = m_traceColors[static_cast<std::size_t>(channel)];
        p.subSampleShift = h.signedWord(core::fh::ShiftA1 + channel) * 0.01;
        m_renderer->draw(target, g, background, p);
    }

    p.mode = static_cast<TraceMode>(mode);
    p.count = static_cast<int>(std::min<std::uint32_t>(h[core::fh::CaptureLength], core::kMaxFramePoints));
    p.pixelsPerSample = analogPps;
    p.firstSample = clampToInt(m_scrollPos);
    for (int channel = 1; channel >= 0; --channel) {
        const auto& ch = channel == 0 ? state.scope.A1 : state.scope.A2;
        if (!ch.shown || (mask & (1u << channel)) == 0) continue;
        const std::int64_t microVolts = channel == 0 ? derived.MicroVoltsA1 : derived.MicroVoltsA2;
        p.gain = analogGain(h[channel == 0 ? core::fh::ScaleA1 : core::fh::ScaleA2], microVolts);
        p.captureZero = h[channel == 0 ? core::fh::ZeroA1 : core::fh::ZeroA2];
        p.screenZero = ch.Zero;
        p.min = frame.channels.min[static_cast<std::size_t>(channel)];
        p.max = frame.channels.max[static_cast<std::size_t>(channel)];
        p.color = m_traceColors[static_cast<std::size_t>(channel)];
        p.subSampleShift = h.signedWord(core::fh::ShiftA1 + channel) * 0.01;
        if (m_renderer->draw(target, g, background, p)) m_sinxActive = true;
    }
}

void FrameView::readoutUpdate(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                              const core::FrameRecord& frame, const LinkView& link) {
    const auto& g = m_geometry;
    const auto& roles = state.display.colors;
    PixelCanvas screen(m_screen);

    fillMargins(screen, g, toQRgb(roles.ColorBorder));
    drawPlotFrame(screen, g, toQRgb(roles.ColorGridFrame));
    drawActivityIndicator(screen, g, link, state.scope.Running,
                          {toQRgb(roles.ColorGridFrame), toQRgb(roles.ColorBorder)});
    drawReadoutTexts(state, derived, frame, link);

    if (state.analyzer.NA || state.analyzer.AA)
        drawAnalyzerScales(state, link.sources.decimalSeparator);
    else
        drawMarkers(state, derived, frame);
}

void FrameView::drawMarkers(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                            const core::FrameRecord& frame) {
    const auto& h = frame.header;
    const auto& g = m_geometry;
    const auto& roles = state.display.colors;
    const auto colors = channelColors(roles);
    const GlyphSet* debug = state.system.DebugMode ? &m_debugFont : nullptr;
    PixelCanvas screen(m_screen);

    for (int channel = 1; channel >= 0; --channel) {
        const auto& ch = channel == 0 ? state.scope.A1 : state.scope.A2;
        if (!ch.shown) continue;
        LevelMarker m;
        m.level = channel == 0 ? state.trigger.Lev_A1 : state.trigger.Lev_A2;
        m.color = colors[static_cast<std::size_t>(channel)];
        m.background = roles.ColorBackground;
        m.triggerSource = state.trigger.Src == channel;
        m.dragLines = m_levelDrag == (channel == 0 ? LevelDrag::A1 : LevelDrag::A2);
        m.hysteresis = state.trigger.Hyst;
        m.trigPosColor = roles.ColorTrigPos;
        m.debugFont = debug;
        drawLevelMarker(screen, g, m);
    }

    drawBackgroundMarkers(state, derived);

    const std::uint32_t source = h[core::fh::TriggerSource]; // 1..6, 0 = none
    if (source >= 1 && source <= 6 && channelShown(state.scope, static_cast<int>(source) - 1)) {
        const int channel = static_cast<int>(source) - 1;
        double code;
        if (channel < 2) {
            const auto& ch = channel == 0 ? state.scope.A1 : state.scope.A2;
            const std::int64_t microVolts = channel == 0 ? derived.MicroVoltsA1 : derived.MicroVoltsA2;
            code = frameTriggerMarkerCode(h, channel, ch.Zero, static_cast<double>(microVolts));
        } else {
            code = liveDigitalMarkerCode(channel - 1, backgroundShown(state), state.display.BgLaneSwap);
        }
        drawFrameTriggerMarker(screen, g, code, toQRgb(colors[static_cast<std::size_t>(channel)]));
    }

    drawBackgroundZeroMarkers(state);
    for (int channel = 1; channel >= 0; --channel) {
        const auto& ch = channel == 0 ? state.scope.A1 : state.scope.A2;
        if (!ch.shown) continue;
        ZeroMarker m;
        m.code = ch.Zero;
        m.color = colors[static_cast<std::size_t>(channel)];
        m.background = roles.ColorBackground;
        m.dim = h[channel == 0 ? core::fh::OverdriveA1 : core::fh::OverdriveA2] != 0;
        m.debugFont = debug;
        drawZeroMarker(screen, g, m);
    }

    for (int n = 1; n <= 4; ++n)
        if (digitalShown(state.scope, n))
            drawDigitalLabel(screen, g, n, m_labelFont, toQRgb(colors[static_cast<std::size_t>(1 + n)]));
}

} // namespace kx::display
