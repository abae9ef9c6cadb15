// SPDX-License-Identifier: GPL-3.0-or-later
// The decoded serial characters in bands above the traces.
#include "display/DecodedBand.h"
#include "display/FrameView.h"

#include "decoders/SerialDecoder.h"

#include <algorithm>

namespace kx::display {

void FrameView::runSerialDecoder(const core::InstrumentState& state, const core::DerivedQuantities& derived,
                                 const core::FrameRecord& frame, bool drawAnnotations) {
    if (m_decoder == nullptr || !m_decoder->ran() || !drawAnnotations) return;
    const auto& h = frame.header;
    const std::uint64_t analogPeriod = h.get64(core::fh::SamplePeriodPs);
    const std::uint64_t digitalPeriod = h.get64(core::fh::DigitalPeriodPs);
    const auto display = decoders::rs232Settings(state.decoder).display;
    PixelCanvas screen(m_screen);

    const auto draw = [&](const decoders::DecodedLine& line, int source, int position) {
        if (source < decoders::kSourceA1 || source > decoders::kSourceD4) return;
        const int channel = source - 1;
        const bool analog = source <= decoders::kSourceA2;
        DecodedBand band;
        band.chars = line.view();
        band.sampleCount =
            std::min<std::int64_t>(h.signedWord(analog ? core::fh::AnalogCount : core::fh::DigitalCount),
                                   static_cast<std::int64_t>(core::kMaxFramePoints));
        band.color = m_traceColors[static_cast<std::size_t>(channel)];
        band.position = position;
        band.display = display;
        // The mapping the channel's trace was drawn with.
        band.pixelsPerSample = pixelsPerSample(m_geometry.PixelsPerDivX,
                                               analog ? analogPeriod : digitalPeriod, derived.TimeDivNs);
        band.firstSample =
            analog ? m_scrollPos : m_scrollPos * digitalSamplesPerAnalog(analogPeriod, digitalPeriod);
        band.shift = h.signedWord(core::fh::ShiftA1 + channel);
        drawDecodedBand(screen, m_geometry, m_bandFont, band);
    };
    draw(m_decoder->rxd(), m_decoder->rxdSource(), kRxdBand);
    draw(m_decoder->txd(), m_decoder->txdSource(), kTxdBand);
}

} // namespace kx::display
