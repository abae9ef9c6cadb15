// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderListing.h"

#include "decoders/DecoderTexts.h"

#include <algorithm>
#include <cstdio>

namespace kx::decoders {

namespace {

struct Layout {
    int perLine;
    int width;
};

Layout layoutOf(DecoderDisplay display, int bits) {
    const int column = bits <= 8 ? 0 : (bits <= 16 ? 1 : 2);
    switch (display) {
    case DecoderDisplay::Decimal: {
        constexpr Layout kDecimal[3] = {{8, 4}, {4, 6}, {2, 11}};
        return kDecimal[column];
    }
    case DecoderDisplay::Ascii:
        return {32, 1};
    case DecoderDisplay::Hex:
        break;
    }
    constexpr Layout kHex[3] = {{16, 2}, {8, 4}, {4, 8}};
    return kHex[column];
}

// Codes below 32 and the upper half (negative as signed bytes) show as "-".
char asciiOf(std::uint32_t value) {
    const auto code = static_cast<std::int8_t>(value & 0xFF);
    return code >= 32 ? static_cast<char>(code) : '-';
}

// A format number beyond the known ones (from a settings file) shows as HEX.
std::string valueText(std::uint32_t value, DecoderDisplay display, int width) {
    char buf[24];
    if (display == DecoderDisplay::Decimal)
        std::snprintf(buf, sizeof buf, "%*u", width, value);
    else if (display == DecoderDisplay::Ascii)
        buf[0] = asciiOf(value), buf[1] = 0;
    else
        std::snprintf(buf, sizeof buf, "%0*X", width, value);
    return buf;
}

void appendLine(std::vector<std::string>& out, std::span<const DecodedChar> chars, const char* header,
                bool russian, DecoderDisplay display, int bits) {
    const auto errors =
        std::count_if(chars.begin(), chars.end(), [](const DecodedChar& c) { return c.flags != 0; });
    out.push_back(header + std::to_string(chars.size()) + text::kErrors.pick(russian) +
                  std::to_string(errors) + ")");
    out.emplace_back();
    const Layout layout = layoutOf(display, bits);
    const char* separator = display == DecoderDisplay::Ascii ? "" : ",";
    for (std::size_t first = 0; first < chars.size(); first += static_cast<std::size_t>(layout.perLine)) {
        char index[32];
        std::snprintf(index, sizeof index, "%03zX:  ", first);
        std::string line = index;
        const std::size_t end = std::min(chars.size(), first + static_cast<std::size_t>(layout.perLine));
        for (std::size_t i = first; i < end; ++i) {
            if (i > first) line += separator;
            line += valueText(chars[i].value, display, layout.width);
        }
        out.push_back(std::move(line));
    }
}

} // namespace

std::vector<std::string> decodedText(std::span<const DecodedChar> rxd, std::span<const DecodedChar> txd,
                                     DecoderDisplay display, int dataBits, bool russian) {
    std::vector<std::string> out;
    if (!rxd.empty()) {
        appendLine(out, rxd, text::kRxdData.pick(russian), russian, display, dataBits);
        out.emplace_back();
    }
    if (!txd.empty()) appendLine(out, txd, text::kTxdData.pick(russian), russian, display, dataBits);
    return out;
}

bool showDecodedText(std::vector<std::string>& shown, std::span<const DecodedChar> rxd,
                     std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian) {
    auto lines = decodedText(rxd, txd, display, dataBits, russian);
    if (lines == shown) return false;
    shown = std::move(lines);
    return true;
}

std::string bandLabel(const DecodedChar& c, DecoderDisplay display) {
    std::string label = valueText(c.value, display, display == DecoderDisplay::Hex ? 2 : 0);
    if (c.flags & kParityError) label += " PE";
    if (c.flags & kFramingError) label += " FE";
    return label;
}

} // namespace kx::decoders
