// SPDX-License-Identifier: GPL-3.0-or-later
// FrameView's drawing of the background oscillogram and its markers.
#include "display/BackgroundOps.h"
#include "display/Colors.h"
#include "display/FrameDecisions.h"
#include "display/FrameView.h"
#include "display/Markers.h"
#include "display/PixelCanvas.h"

#include <algorithm>

namespace kx::display {

bool FrameView::backgroundShown(const core::InstrumentState& state) const {
    return m_background != nullptr && state.display.BgShow && backgroundExists(*m_background);
}

bool FrameView::backgroundHasDigital(const core::InstrumentState& state, int n) const {
    return backgroundShown(state) && (m_background->header[core::fh::ChannelMask] & (1u << (1 + n))) != 0;
}

void FrameView::drawBackgroundOscillogram(const core::InstrumentState& state,
                                          const core::DerivedQuantities& derived,
                                          const core::FrameRecord& frame) {
    const core::FrameRecord& bg = *m_background;
    const auto& h = bg.header;
    const auto& g = m_geometry;
    const std::uint32_t backgroundColor = state.display.colors.ColorBackground;
    const std::uint32_t mask = h[core::fh::ChannelMask];
    const int mode = std::clamp(derived.DrawMode, 0, 2);

    const BackgroundMapping map =
        mapBackground(frame.header, h, m_scrollPos, g.PixelsPerDivX, derived.TimeDivNs);
    m_bgFirstSample = map.first;

    // Half-faded; the trace colours are already faded once behind a spectrum.
    auto colorOf = [&](int channel) {
        return fade(m_traceColors[static_cast<std::size_t>(channel)], backgroundColor, 2.0);
    };

    TraceParams p;
    p.x0 = g.PlotLeft;
    p.y0 = g.PlotTop;
    p.gap = true;
    p.header = &h;

    if (map.digitalPixelsPerSample < g.PlotWidth) {
        p.mode = static_cast<TraceMode>(std::min(mode, 1));
        p.count = clampToInt(map.digitalCount);
        p.captureZero = 0;
        p.gain = kDigitalGainShared;
        p.pixelsPerSample = map.digitalPixelsPerSample;
        p.firstSample = clampToInt(map.firstDigital);
        for (int n = 4; n >= 1; --n) {
            const int channel = 1 + n;
            if (!digitalShown(state.scope, n) || (mask & (1u << channel)) == 0) continue;
            p.screenZero = backgroundDigitalZero(n, state.display.BgLaneSwap);
            p.min = bg.channels.min[static_cast<std::size_t>(channel)];
            p.max = bg.channels.max[static_cast<std::size_t>(channel)];
            p.color = colorOf(channel);
            p.subSampleShift = h.signedWord(core::fh::ShiftA1 + channel) * 0.01 + map.digitalFraction;
            m_renderer->draw(m_screen, g, backgroundColor, p);
        }
    }

    if (map.analogPixelsPerSample < g.PlotWidth) {
        p.mode = static_cast<TraceMode>(mode);
        p.count = clampToInt(map.count);
        p.pixelsPerSample = map.analogPixelsPerSample;
        p.firstSample = clampToInt(map.first);
        for (int channel = 1; channel >= 0; --channel) {
            if (!channelShown(state.scope, channel) || (mask & (1u << channel)) == 0) continue;
            const bool a1 = channel == 0;
            p.gain = analogGain(h[a1 ? core::fh::ScaleA1 : core::fh::ScaleA2],
                                a1 ? derived.MicroVoltsA1 : derived.MicroVoltsA2);
            p.captureZero = h[a1 ? core::fh::ZeroA1 : core::fh::ZeroA2];
            p.screenZero = a1 ? state.display.BgScreenZeroA1 : state.display.BgScreenZeroA2;
            p.min = bg.channels.min[static_cast<std::size_t>(channel)];
            p.max = bg.channels.max[static_cast<std::size_t>(channel)];
            p.color = colorOf(channel);
            p.subSampleShift = h.signedWord(core::fh::ShiftA1 + channel) * 0.01 + map.fraction;
            if (m_renderer->draw(m_screen, g, backgroundColor, p)) m_sinxActive = true;
        }
    }
}

void FrameView::drawBackgroundMarkers(const core::InstrumentState& state,
                                      const core::DerivedQuantities& derived) {
    if (m_background == nullptr || !state.display.BgShow) return;
    const auto& h = m_background->header;
    const std::uint32_t source = h[core::fh::TriggerSource]; // 1..6, 0 = none
    if (source < 1 || source > 6 || !channelShown(state.scope, static_cast<int>(source) - 1)) return;
    const int channel = static_cast<int>(source) - 1;
    double code;
    if (channel < 2) {
        const bool a1 = channel == 0;
        code = frameTriggerMarkerCode(h, channel,
                                      a1 ? state.display.BgScreenZeroA1 : state.display.BgScreenZeroA2,
                                      static_cast<double>(a1 ? derived.MicroVoltsA1 : derived.MicroVoltsA2));
    } else {
        code = backgroundDigitalMarkerCode(channel - 1, state.display.BgLaneSwap);
    }
    const auto colors = channelColors(state.display.colors);
    PixelCanvas screen(m_screen);
    drawFrameTriggerMarker(screen, m_geometry, code, toQRgb(colors[static_cast<std::size_t>(channel)]));
}

void FrameView::drawBackgroundZeroMarkers(const core::InstrumentState& state) {
    if (!backgroundShown(state)) return;
    const auto& h = m_background->header;
    const auto& roles = state.display.colors;
    const auto colors = channelColors(roles);
    PixelCanvas screen(m_screen);
    for (int channel = 1; channel >= 0; --channel) {
        if (!channelShown(state.scope, channel)) continue;
        const bool a1 = channel == 0;
        ZeroMarker m;
        m.code = a1 ? state.display.BgScreenZeroA1 : state.display.BgScreenZeroA2;
        m.color = fade(colors[static_cast<std::size_t>(channel)], roles.ColorBackground, 2.0);
        m.background = roles.ColorBackground;
        m.dim = h[a1 ? core::fh::OverdriveA1 : core::fh::OverdriveA2] != 0;
        m.debugFont = state.system.DebugMode ? &m_debugFont : nullptr;
        drawZeroMarker(screen, m_geometry, m);
    }
}

} // namespace kx::display
