// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/SerialDecoder.h"

#include "decoders/DecoderListing.h"

namespace kx::decoders {

namespace {

int activeSource(int source, bool inverted, const DecoderFrame& frame) {
    return lineInput(source, inverted, frame).active ? source : kSourceOff;
}

} // namespace

bool SerialDecoder::step(const Rs232Settings& settings, const DecoderFrame& frame, bool russian) {
    m_ran = decodeFrame(settings, frame, m_rxd, m_txd);
    if (!m_ran) return false;
    const bool rs232 = settings.type == 1;
    m_rxdSource = rs232 ? activeSource(settings.rxdSource, settings.rxdInverted, frame) : kSourceOff;
    m_txdSource = rs232 ? activeSource(settings.txdSource, settings.txdInverted, frame) : kSourceOff;

    decodedText(m_scratch, m_rxd.view(), m_txd.view(), settings.display, settings.format.dataBits, russian);
    if (m_scratch != m_listing) {
        m_listing.swap(m_scratch);
        ++m_revision;
    }
    return true;
}

void SerialDecoder::clearListing() {
    if (m_listing.empty()) return;
    m_listing.clear();
    ++m_revision;
}

} // namespace kx::decoders
