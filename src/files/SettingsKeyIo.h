// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/SettingsIni.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::files {

enum class SettingsKind { Program, User };

// Which kinds carry a key.
enum class KeyScope {
    Both,
    Program,   // written and read only in the program settings file
    UserWrite, // written only in user files, read from both
    User,      // written and read only in user files
};

// One pass over the key tables, either writing the fields into the document or reading them
// back. The tables call the same functions in both directions, so the order of the keys on
// disk and the order in which the reader applies them are the same by construction.
class SettingsKeyIo {
public:
    SettingsKeyIo(SettingsIni& doc, SettingsKind kind, bool writing);

    [[nodiscard]] bool writing() const { return m_writing; }
    [[nodiscard]] SettingsKind kind() const { return m_kind; }
    void section(std::string_view name) { m_section = name; }

    void boolean(std::string_view key, bool& value, KeyScope scope = KeyScope::Both);
    // Read values outside lo..hi are clamped: these fields index tables or size buffers.
    void integer(std::string_view key, std::int32_t& value, KeyScope scope = KeyScope::Both,
                 std::int32_t lo = INT32_MIN, std::int32_t hi = INT32_MAX);
    void integer64(std::string_view key, std::int64_t& value, std::int64_t lo, std::int64_t hi);
    void colour(std::string_view key, std::uint32_t& value, std::uint32_t fixedDefault);
    void text(std::string_view key, std::string& value, KeyScope scope = KeyScope::Both);
    void real(std::string_view key, double& value, KeyScope scope = KeyScope::Both);
    // "Lev_A1" and "Lev_A1_fine".
    void level(std::string_view key, double& value);

    // A group of exclusive items, one boolean key each, index = position in `keys`. Read in
    // list order: the last key that is 1 wins, none keeps the current choice.
    void radio(std::span<const std::string> keys, std::int32_t& index, KeyScope scope = KeyScope::Both);
    // Buttons that may all be up (`none` is then the choice): a key of 0 releases its own item.
    void releasable(std::span<const std::string> keys, std::int32_t& index, std::int32_t none);

    [[nodiscard]] bool active(KeyScope scope) const;
    void put(std::string_view key, std::string_view value) { m_doc.set(m_section, key, value); }
    [[nodiscard]] std::optional<std::string> fetch(std::string_view key) const {
        return m_doc.get(m_section, key);
    }

private:
    [[nodiscard]] bool readBool(std::string_view key, bool fallback) const;

    SettingsIni& m_doc;
    SettingsKind m_kind;
    bool m_writing;
    std::string m_section;
};

// Key lists built from a prefix and suffixes ("A1_" + "2V" ...).
std::vector<std::string> keyList(std::string_view prefix, std::span<const char* const> suffixes,
                                 std::string_view suffix = {});

} // namespace kx::files
