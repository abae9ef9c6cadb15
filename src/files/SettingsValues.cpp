// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kx::files {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Magnitude and sign; hexadecimal flagged so the caller may wrap it.
struct ParsedInt {
    bool negative = false;
    bool hex = false;
    std::uint64_t magnitude = 0;
};

std::optional<ParsedInt> parseParts(std::string_view t) {
    ParsedInt r;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        r.negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        r.hex = true;
        t.remove_prefix(2);
    } else if (!t.empty() && t.front() == '$') {
        r.hex = true;
        t.remove_prefix(1);
    }
    if (t.empty() || t.size() > 19) return std::nullopt;
    for (char c : t) {
        const int d = r.hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0) return std::nullopt;
        r.magnitude = r.magnitude * (r.hex ? 16u : 10u) + static_cast<std::uint64_t>(d);
    }
    if (r.hex && t.size() > 16) return std::nullopt;
    return r;
}

} // namespace

std::optional<std::int64_t> parseInteger64(std::string_view text) {
    const auto p = parseParts(text);
    if (!p) return std::nullopt;
    if (p->hex) {
        const auto v = static_cast<std::int64_t>(p->magnitude);
        return p->negative ? -v : v;
    }
    if (p->magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
    const auto v = static_cast<std::int64_t>(p->magnitude);
    return p->negative ? -v : v;
}

std::optional<std::int32_t> parseInteger(std::string_view text) {
    const auto p = parseParts(text);
    if (!p) return std::nullopt;
    if (p->hex) {
        if (p->magnitude > 0xFFFFFFFFu) return std::nullopt;
        const auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(p->magnitude));
        return p->negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)) : v;
    }
    const std::int64_t limit = p->negative ? 2147483648LL : 2147483647LL;
    if (p->magnitude > static_cast<std::uint64_t>(limit)) return std::nullopt;
    const auto v = static_cast<std::int64_t>(p->magnitude);
    return static_cast<std::int32_t>(p->negative ? -v : v);
}

std::optional<double> parseFloat(std::string_view text) {
    std::string t(text);
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty()) return std::nullopt;
    double value = 0;
    const char* first = t.data();
    if (*first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
    if (ec != std::errc{} || ptr != t.data() + t.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string formatFloat(double value) {
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc{}) return "0";
    return std::string(buf, ptr);
}

std::string formatBinary(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> parseBinary(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::string formatDeviceType(std::int32_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(code) & 0xFFFFu);
    return buf;
}

SplitLevel splitLevel(double level) {
    if (!std::isfinite(level)) return {};
    const double whole = std::trunc(level);
    return {static_cast<std::int64_t>(whole),
            static_cast<std::int64_t>(std::round((level - whole) * 1'000'000.0))};
}

double joinLevel(std::int64_t whole, std::int64_t fine) {
    return static_cast<double>(whole) + static_cast<double>(fine) / 1'000'000.0;
}

} // namespace kx::files
