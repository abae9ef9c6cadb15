// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::sim {

// One "key=value" (or bare "word") item of a configuration or control string.
struct SettingItem {
    std::string key;
    std::string value;
    bool hasValue = false;
};

// Splits "a=1; b=2;word" into items; blank items are skipped. Keys are lower-cased.
std::vector<SettingItem> splitSettings(std::string_view text);

// Number parsers accepting decimal, 0x-hex and (for reals) exponents; nullopt on anything else.
std::optional<std::int64_t> parseInteger(std::string_view text);
std::optional<double> parseReal(std::string_view text);
std::optional<bool> parseSwitch(std::string_view text);

} // namespace kx::sim
