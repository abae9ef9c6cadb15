// SPDX-License-Identifier: GPL-3.0-or-later
#include "UartText.h"

#include "Settings.h"

#include <bit>
#include <cctype>

namespace kx::sim {

namespace {

constexpr std::int64_t kMaxBaud = 50'000'000;
constexpr std::size_t kMaxText = 4096;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<std::string> unescape(std::string_view in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out.push_back(in[i]);
            continue;
        }
        if (++i == in.size()) return std::nullopt;
        switch (in[i]) {
        case 'r':
            out.push_back('\r');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 't':
            out.push_back('\t');
            break;
        case '\\':
            out.push_back('\\');
            break;
        case 'x': {
            const int hi = i + 1 < in.size() ? hexDigit(in[i + 1]) : -1;
            const int lo = i + 2 < in.size() ? hexDigit(in[i + 2]) : -1;
            if (hi < 0 || lo < 0) return std::nullopt;
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

// "8N1", "7e2", "16O1".
bool parseFormat(std::string_view f, UartFormat& out) {
    if (f.size() < 3 || f.size() > 4) return false;
    const auto bits = parseInteger(f.substr(0, f.size() - 2));
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(f[f.size() - 2])));
    const char stop = f.back();
    if (!bits || *bits < 2 || *bits > 32 || (parity != 'N' && parity != 'E' && parity != 'O') ||
        (stop != '1' && stop != '2'))
        return false;
    out.dataBits = static_cast<int>(*bits);
    out.parity = parity;
    out.stopBits = stop - '0';
    return true;
}

bool takeSuffix(std::string_view& s, std::string_view suffix) {
    if (s.size() <= suffix.size() || s.substr(s.size() - suffix.size()) != suffix) return false;
    s.remove_suffix(suffix.size());
    return true;
}

} // namespace

UartText::UartText(std::string text, UartFormat format, double high)
    : m_text(std::move(text)), m_format(format), m_high(high) {
    m_bitsPerChar = 1 + m_format.dataBits + (m_format.parity != 'N' ? 1 : 0) + m_format.stopBits;
    m_bitsPerLoop = static_cast<std::int64_t>(m_text.size()) * m_bitsPerChar + kIdleBits;
    std::int64_t marks = 0;
    for (std::int64_t b = 0; b < m_bitsPerLoop; ++b) marks += level(b);
    const double markShare = static_cast<double>(marks) / static_cast<double>(m_bitsPerLoop);
    m_mean = m_high * (m_format.inverted ? 1.0 - markShare : markShare);
}

std::optional<UartText> UartText::parse(std::string_view value, double high) {
    constexpr std::string_view kPrefix = "uart:";
    if (value.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    value.remove_prefix(kPrefix.size());
    const auto colon1 = value.find(':');
    if (colon1 == std::string_view::npos) return std::nullopt;
    const auto colon2 = value.find(':', colon1 + 1);
    if (colon2 == std::string_view::npos) return std::nullopt;

    UartFormat format;
    const auto baud = parseInteger(value.substr(0, colon1));
    if (!baud || *baud < 1 || *baud > kMaxBaud) return std::nullopt;
    format.baud = *baud;
    if (!parseFormat(value.substr(colon1 + 1, colon2 - colon1 - 1), format)) return std::nullopt;

    // The flags stand at the end, in either order; the text may hold colons itself.
    std::string_view rest = value.substr(colon2 + 1);
    for (bool more = true; more;) {
        more = false;
        if (!format.inverted && takeSuffix(rest, ":inv")) more = format.inverted = true;
        if (!format.msbFirst && takeSuffix(rest, ":msb")) more = format.msbFirst = true;
    }
    auto text = unescape(rest);
    if (!text || text->empty() || text->size() > kMaxText) return std::nullopt;
    return UartText(std::move(*text), format, high);
}

int UartText::level(std::int64_t bit) const {
    const std::int64_t ch = bit / m_bitsPerChar;
    if (ch >= static_cast<std::int64_t>(m_text.size())) return 1; // idle gap
    const int pos = static_cast<int>(bit % m_bitsPerChar);
    if (pos == 0) return 0; // start bit
    const auto value =
        static_cast<std::uint32_t>(static_cast<unsigned char>(m_text[static_cast<std::size_t>(ch)]));
    const int n = m_format.dataBits;
    if (pos <= n) {
        const int k = m_format.msbFirst ? n - pos : pos - 1;
        return k < 32 ? static_cast<int>((value >> k) & 1u) : 0;
    }
    if (pos == n + 1 && m_format.parity != 'N') {
        const std::uint32_t bits = n < 32 ? value & ((1u << n) - 1u) : value;
        const int ones = std::popcount(bits);
        return m_format.parity == 'E' ? ones % 2 : (ones + 1) % 2;
    }
    return 1; // stop bits
}

double UartText::periodPs() const {
    return static_cast<double>(m_bitsPerLoop) * static_cast<double>(kPsPerSecond) /
           static_cast<double>(m_format.baud);
}

double UartText::volts(Picoseconds t) const {
    if (t < 0) t = 0;
    const auto bit = static_cast<std::int64_t>((static_cast<__int128>(t) * m_format.baud) / kPsPerSecond);
    const int mark = level(bit % m_bitsPerLoop);
    return (mark != 0) != m_format.inverted ? m_high : 0.0;
}

Picoseconds UartText::stableUntil(Picoseconds t) const {
    if (t < 0) return 0;
    const auto bit = static_cast<std::int64_t>((static_cast<__int128>(t) * m_format.baud) / kPsPerSecond);
    // Start of the next bit, rounded down so it never lies beyond the true boundary.
    return static_cast<Picoseconds>((static_cast<__int128>(bit + 1) * kPsPerSecond) / m_format.baud);
}

} // namespace kx::sim
