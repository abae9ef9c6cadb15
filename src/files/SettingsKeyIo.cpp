// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsKeyIo.h"

#include "files/SettingsValues.h"

#include <algorithm>

namespace kx::files {

SettingsKeyIo::SettingsKeyIo(SettingsIni& doc, SettingsKind kind, bool writing)
    : m_doc(doc), m_kind(kind), m_writing(writing) {}

bool SettingsKeyIo::active(KeyScope scope) const {
    switch (scope) {
    case KeyScope::Both:
        return true;
    case KeyScope::Program:
        return m_kind == SettingsKind::Program;
    case KeyScope::UserWrite:
        return !m_writing || m_kind == SettingsKind::User;
    case KeyScope::User:
        return m_kind == SettingsKind::User;
    }
    return false;
}

bool SettingsKeyIo::readBool(std::string_view key, bool fallback) const {
    const auto text = fetch(key);
    if (!text) return fallback;
    const auto v = parseInteger(*text);
    return v ? *v != 0 : fallback;
}

void SettingsKeyIo::boolean(std::string_view key, bool& value, KeyScope scope) {
    if (!active(scope)) return;
    if (m_writing)
        put(key, value ? "1" : "0");
    else
        value = readBool(key, value);
}

void SettingsKeyIo::integer(std::string_view key, std::int32_t& value, KeyScope scope, std::int32_t lo,
                            std::int32_t hi) {
    if (!active(scope)) return;
    if (m_writing) {
        put(key, std::to_string(value));
        return;
    }
    if (const auto text = fetch(key))
        if (const auto v = parseInteger(*text)) value = std::clamp(*v, lo, hi);
}

void SettingsKeyIo::integer64(std::string_view key, std::int64_t& value, std::int64_t lo, std::int64_t hi) {
    if (m_writing) {
        put(key, std::to_string(value));
        return;
    }
    if (const auto text = fetch(key))
        if (const auto v = parseInteger64(*text)) value = std::clamp(*v, lo, hi);
}

void SettingsKeyIo::colour(std::string_view key, std::uint32_t& value, std::uint32_t fixedDefault) {
    if (m_writing) {
        put(key, std::to_string(static_cast<std::int32_t>(value)));
        return;
    }
    value = fixedDefault;
    if (const auto text = fetch(key))
        if (const auto v = parseInteger(*text)) value = static_cast<std::uint32_t>(*v) & 0x00FFFFFFu;
}

void SettingsKeyIo::text(std::string_view key, std::string& value, KeyScope scope) {
    if (!active(scope)) return;
    if (m_writing)
        put(key, value);
    else if (const auto t = fetch(key))
        value = *t;
}

void SettingsKeyIo::real(std::string_view key, double& value, KeyScope scope) {
    if (!active(scope)) return;
    if (m_writing) {
        put(key, formatFloat(value));
        return;
    }
    if (const auto t = fetch(key))
        if (const auto v = parseFloat(*t)) value = *v;
}

void SettingsKeyIo::level(std::string_view key, double& value) {
    const std::string fineKey = std::string(key) + "_fine";
    if (m_writing) {
        const SplitLevel s = splitLevel(value);
        put(key, std::to_string(s.whole));
        put(fineKey, std::to_string(s.fine));
        return;
    }
    std::int64_t whole = splitLevel(value).whole;
    std::int64_t fine = 0;
    if (const auto t = fetch(key))
        if (const auto v = parseInteger(*t)) whole = *v;
    if (const auto t = fetch(fineKey))
        if (const auto v = parseInteger(*t)) fine = *v;
    value = joinLevel(whole, fine);
}

void SettingsKeyIo::radio(std::span<const std::string> keys, std::int32_t& index, KeyScope scope) {
    if (!active(scope)) return;
    const auto count = static_cast<std::int32_t>(keys.size());
    if (m_writing) {
        for (std::int32_t i = 0; i < count; ++i)
            put(keys[static_cast<std::size_t>(i)], i == index ? "1" : "0");
        return;
    }
    for (std::int32_t i = 0; i < count; ++i)
        if (readBool(keys[static_cast<std::size_t>(i)], i == index)) index = i;
    // A choice that no key names (a corrupt current value) falls back to the first item.
    index = std::clamp(index, 0, count - 1);
}

void SettingsKeyIo::releasable(std::span<const std::string> keys, std::int32_t& index, std::int32_t none) {
    const auto count = static_cast<std::int32_t>(keys.size());
    if (m_writing) {
        for (std::int32_t i = 0; i < count; ++i)
            put(keys[static_cast<std::size_t>(i)], i == index ? "1" : "0");
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (readBool(keys[static_cast<std::size_t>(i)], i == index))
            index = i;
        else if (i == index)
            index = none;
    }
}

std::vector<std::string> keyList(std::string_view prefix, std::span<const char* const> suffixes,
                                 std::string_view suffix) {
    std::vector<std::string> keys;
    keys.reserve(suffixes.size());
    for (const char* s : suffixes) keys.push_back(std::string(prefix) + s + std::string(suffix));
    return keys;
}

} // namespace kx::files
