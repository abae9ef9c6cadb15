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

// A format number beyond the known ones (from a settings file) shows as HEX. Returns the length.
int valueText(char* buf, std::size_t size, std::uint32_t value, DecoderDisplay display, int width) {
    if (display == DecoderDisplay::Decimal) return std::snprintf(buf, size, "%*u", width, value);
    if (display == DecoderDisplay::Ascii) {
        buf[0] = asciiOf(value);
        buf[1] = 0;
        return 1;
    }
    return std::snprintf(buf, size, "%0*X", width, value);
}

// The next line of `out`, emptied but keeping its storage.
std::string& nextLine(std::vector<std::string>& out, std::size_t& used) {
    if (used == out.size()) out.emplace_back();
    std::string& line = out[used++];
    line.clear();
    return line;
}

void appendNumber(std::string& line, std::size_t n) {
    char buf[24];
    const int len = std::snprintf(buf, sizeof buf, "%zu", n);
    line.append(buf, static_cast<std::size_t>(len));
}

void appendLine(std::vector<std::string>& out, std::size_t& used, std::span<const DecodedChar> chars,
                const char* header, bool russian, DecoderDisplay display, int bits) {
    const auto errors =
        std::count_if(chars.begin(), chars.end(), [](const DecodedChar& c) { return c.flags != 0; });
    std::string& head = nextLine(out, used);
    head += header;
    appendNumber(head, chars.size());
    head += text::kErrors.pick(russian);
    appendNumber(head, static_cast<std::size_t>(errors));
    head += ')';
    nextLine(out, used);
    const Layout layout = layoutOf(display, bits);
    const bool separated = display != DecoderDisplay::Ascii;
    for (std::size_t first = 0; first < chars.size(); first += static_cast<std::size_t>(layout.perLine)) {
        std::string& line = nextLine(out, used);
        char buf[32];
        int len = std::snprintf(buf, sizeof buf, "%03zX:  ", first);
        line.append(buf, static_cast<std::size_t>(len));
        const std::size_t end = std::min(chars.size(), first + static_cast<std::size_t>(layout.perLine));
        for (std::size_t i = first; i < end; ++i) {
            if (i > first && separated) line += ',';
            len = valueText(buf, sizeof buf, chars[i].value, display, layout.width);
            line.append(buf, static_cast<std::size_t>(len));
        }
    }
}

} // namespace

char asciiOf(std::uint32_t value) {
    // Codes below 32 and the upper half (negative as signed bytes) show as "-".
    const auto code = static_cast<std::int8_t>(value & 0xFF);
    return code >= 32 ? static_cast<char>(code) : '-';
}

void decodedText(std::vector<std::string>& out, std::span<const DecodedChar> rxd,
                 std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian) {
    std::size_t used = 0;
    if (!rxd.empty()) {
        appendLine(out, used, rxd, text::kRxdData.pick(russian), russian, display, dataBits);
        nextLine(out, used);
    }
    if (!txd.empty()) appendLine(out, used, txd, text::kTxdData.pick(russian), russian, display, dataBits);
    out.resize(used);
}

std::vector<std::string> decodedText(std::span<const DecodedChar> rxd, std::span<const DecodedChar> txd,
                                     DecoderDisplay display, int dataBits, bool russian) {
    std::vector<std::string> out;
    decodedText(out, rxd, txd, display, dataBits, russian);
    return out;
}

bool showDecodedText(std::vector<std::string>& shown, std::span<const DecodedChar> rxd,
                     std::span<const DecodedChar> txd, DecoderDisplay display, int dataBits, bool russian) {
    auto lines = decodedText(rxd, txd, display, dataBits, russian);
    if (lines == shown) return false;
    shown = std::move(lines);
    return true;
}

std::string_view bandLabel(const DecodedChar& c, DecoderDisplay display, BandLabelBuffer& buffer) {
    int len =
        valueText(buffer.data(), buffer.size(), c.value, display, display == DecoderDisplay::Hex ? 2 : 0);
    const auto append = [&](const char* suffix) {
        for (; *suffix != 0 && len + 1 < static_cast<int>(buffer.size()); ++suffix)
            buffer[static_cast<std::size_t>(len++)] = *suffix;
    };
    if (c.flags & kParityError) append(" PE");
    if (c.flags & kFramingError) append(" FE");
    return {buffer.data(), static_cast<std::size_t>(len)};
}

std::string bandLabel(const DecodedChar& c, DecoderDisplay display) {
    BandLabelBuffer buffer;
    return std::string(bandLabel(c, display, buffer));
}

} // namespace kx::decoders
