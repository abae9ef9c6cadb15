// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"
#include "decoders/DecoderFrame.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::decoders {

// The lines of Memo_Decoders for both lines' characters.
std::vector<std::string> decodedText(std::span<const DecodedChar> rxd, std::span<const DecodedChar> txd,
                                     DecoderDisplay display, int dataBits, bool russian);
// The same into `out`, whose lines keep their storage: once the listing has had its size, a
// frame's listing allocates nothing.
void decodedText(std::vector<std::string>& out, std::span<const DecodedChar> rxd,
                 std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian);

// ShowDecodedText: replaces `shown` only when the listing differs; returns true then, so
// the caller knows the memo needs updating.
bool showDecodedText(std::vector<std::string>& shown, std::span<const DecodedChar> rxd,
                     std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian);

// Label of a character's box in the band: the value in the display format (HEX with at
// least two digits), then " PE" and " FE" for its error flags.
std::string bandLabel(const DecodedChar& c, DecoderDisplay display);
// The same in `buffer`, for the drawing of every frame.
using BandLabelBuffer = std::array<char, 24>;
std::string_view bandLabel(const DecodedChar& c, DecoderDisplay display, BandLabelBuffer& buffer);

// The character of a value in an ASCII listing or label: its low 8 bits when that code, as a
// signed byte, is 32 or more; otherwise '-'.
char asciiOf(std::uint32_t value);

} // namespace kx::decoders
