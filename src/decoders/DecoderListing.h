// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"
#include "decoders/DecoderFrame.h"

#include <span>
#include <string>
#include <vector>

namespace kx::decoders {

// The lines of Memo_Decoders for both lines' characters.
std::vector<std::string> decodedText(std::span<const DecodedChar> rxd, std::span<const DecodedChar> txd,
                                     DecoderDisplay display, int dataBits, bool russian);

// ShowDecodedText: replaces `shown` only when the listing differs; returns true then, so
// the caller knows the memo needs updating.
bool showDecodedText(std::vector<std::string>& shown, std::span<const DecodedChar> rxd,
                     std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian);

// Label of a character's box in the band: the value in the display format (HEX with at
// least two digits), then " PE" and " FE" for its error flags.
std::string bandLabel(const DecodedChar& c, DecoderDisplay display);

} // namespace kx::decoders
