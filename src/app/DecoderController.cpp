// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DecoderController.h"

#include "app/BusyFlag.h"
#include "app/ScopeSession.h"

namespace kx::app {

DecoderController::DecoderController(ScopeSession& session)
    : m_s(session), m_decoder(std::make_unique<decoders::SerialDecoder>()) {}

DecoderController::~DecoderController() = default;

void DecoderController::frameStep() {
    const core::InstrumentState& s = m_s.state();
    const core::FrameRecord& frame = m_s.frame();
    const std::uint64_t revision = m_decoder->listingRevision();
    const decoders::Rs232Settings settings = decoders::rs232Settings(s.decoder);
    if (!m_decoder->step(settings, decoders::decoderFrameOf(frame, s), s.system.RussianUi)) return;
    m_rxdTiming = files::decodedLineTiming(frame.header, m_decoder->rxdSource());
    m_txdTiming = files::decodedLineTiming(frame.header, m_decoder->txdSource());
    if (m_decoder->listingRevision() != revision && m_listener) m_listener();
}

void DecoderController::clearListing() {
    m_decoder->clearListing();
    if (m_listener) m_listener();
}

files::ExportStatus DecoderController::saveDecoded() {
    BusyMark busy(m_s.busyFlag());
    // Frames go on arriving while the save dialog is open: write what was on screen when asked.
    if (!m_copy) m_copy = std::make_unique<decoders::SerialDecoder>();
    *m_copy = *m_decoder;
    const files::DecodedTraffic traffic{m_copy->rxd().view(), m_copy->txd().view(), m_rxdTiming, m_txdTiming,
                                        decoders::rs232Settings(m_s.state().decoder).format.dataBits};
    auto& sys = m_s.state().system;
    files::ExportContext context{m_s.prompt(), sys.RussianUi, sys.LastDir, m_s.names(),
                                 m_s.options().decimalSeparator};
    return files::ExportDecodedCsv(context, traffic);
}

} // namespace kx::app
