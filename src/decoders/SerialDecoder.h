// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"
#include "decoders/DecoderFrame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kx::decoders {

// What the per-frame step leaves for the listing, the bands and the export: RxdChars and
// TxdChars with the sources they came from, and the lines of Memo_Decoders. Large: keep one.
class SerialDecoder {
public:
    // Decodes both lines and rebuilds the listing. False when the step does not run ("Type" 0 or
    // an empty capture): then the characters and the listing stay as they were and no band is
    // drawn. In the steady state nothing is allocated.
    bool step(const Rs232Settings& settings, const DecoderFrame& frame, bool russian);

    // Whether the last step ran; the bands are drawn only then.
    bool ran() const { return m_ran; }
    const DecodedLine& rxd() const { return m_rxd; }
    const DecodedLine& txd() const { return m_txd; }
    // Source index of each line in the last step; kSourceOff when the line was not active.
    int rxdSource() const { return m_rxdSource; }
    int txdSource() const { return m_txdSource; }

    const std::vector<std::string>& listing() const { return m_listing; }
    // Grows whenever the listing changes.
    std::uint64_t listingRevision() const { return m_revision; }
    // The dialog empties the memo when the decoder is switched off.
    void clearListing();

private:
    DecodedLine m_rxd;
    DecodedLine m_txd;
    int m_rxdSource = kSourceOff;
    int m_txdSource = kSourceOff;
    bool m_ran = false;
    std::vector<std::string> m_listing;
    std::vector<std::string> m_scratch; // the next listing, built here and swapped in
    std::uint64_t m_revision = 0;
};

} // namespace kx::decoders
