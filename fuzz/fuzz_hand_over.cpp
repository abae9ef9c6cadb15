// SPDX-License-Identifier: GPL-3.0-or-later
// The hand-over requests of a second start, read as the running instance reads its socket:
// any bytes, in any pieces.
#include "app/HandOverMessage.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte sets how many bytes arrive at a time.
    const std::size_t piece = 1 + data[0] % 64;
    std::string pending;
    for (std::size_t at = 1; at < size; at += piece) {
        pending.append(reinterpret_cast<const char*>(data + at), std::min(piece, size - at));
        for (;;) {
            kx::app::HandOverMessage message;
            std::size_t consumed = 0;
            const auto d = kx::app::decodeRequest(pending, message, consumed);
            if (d == kx::app::Decoded::Incomplete) break;
            if (d == kx::app::Decoded::Invalid) return 0; // the connection ends
            if (consumed == 0 || consumed > pending.size()) __builtin_trap();
            if (d == kx::app::Decoded::File) {
                // What was decoded encodes to the same request again.
                std::string again;
                if (kx::app::encodeFileMessage(message, again)) {
                    kx::app::HandOverMessage back;
                    std::size_t n = 0;
                    if (kx::app::decodeRequest(again, back, n) != kx::app::Decoded::File ||
                        back.file != message.file || back.paramCount != message.paramCount ||
                        back.raise != message.raise)
                        __builtin_trap();
                }
            }
            pending.erase(0, consumed);
        }
    }
    return 0;
}
