// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kx::sim {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::vector<SettingItem> splitSettings(std::string_view text) {
    std::vector<SettingItem> items;
    while (!text.empty()) {
        const auto end = text.find(';');
        const std::string_view part = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (part.empty()) continue;
        SettingItem item;
        const auto eq = part.find('=');
        if (eq == std::string_view::npos) {
            item.key = lower(part);
        } else {
            item.key = lower(trim(part.substr(0, eq)));
            item.value = std::string(trim(part.substr(eq + 1)));
            item.hasValue = true;
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    if (value > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
    const auto v = static_cast<std::int64_t>(value);
    return negative ? -v : v;
}

std::optional<double> parseReal(std::string_view text) {
    text = trim(text);
    if (text.empty() || text.size() > 64) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<bool> parseSwitch(std::string_view text) {
    const std::string v = lower(trim(text));
    if (v == "1" || v == "on" || v == "true" || v == "yes") return true;
    if (v == "0" || v == "off" || v == "false" || v == "no") return false;
    return std::nullopt;
}

} // namespace kx::sim
