// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/SerialDecoder.h"
#include "files/DecodedCsv.h"
#include "files/Exports.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kx::app {

class ScopeSession;

// The serial decoders: the per-frame step, the listing the dialog shows, and the export of the
// decoded traffic.
class DecoderController {
public:
    explicit DecoderController(ScopeSession& session);
    ~DecoderController();

    // The per-frame step: in the synchronised update, before the picture is drawn (which draws
    // the bands from what it leaves).
    void frameStep();
    const decoders::SerialDecoder& decoder() const { return *m_decoder; }

    // Called after every frame whose listing differs from the one before; empty: nobody listens.
    void setListingListener(std::function<void()> listener) { m_listener = std::move(listener); }
    // The decoder switched off: Memo_Decoders is emptied.
    void clearListing();

    // "Save...": the characters of the frame on screen as CSV, after a save dialog.
    files::ExportStatus saveDecoded();

private:
    ScopeSession& m_s;
    std::unique_ptr<decoders::SerialDecoder> m_decoder;
    files::DecodedLineTiming m_rxdTiming; // of the frame the characters came from
    files::DecodedLineTiming m_txdTiming;
    std::unique_ptr<decoders::SerialDecoder> m_copy; // what "Save..." writes, taken before its dialog
    std::function<void()> m_listener;
};

} // namespace kx::app
