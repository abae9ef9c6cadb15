// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::files {

// An INI-form settings file held whole in memory: sections and keys keep their order, names
// compare without regard to case, lines before the first section and lines without "=" are
// kept as they stood, and the text is rewritten whole with CR LF line ends.
class SettingsIni {
public:
    // Reads the file; false (and an empty document) when it cannot be read.
    bool load(const std::string& path);
    void parse(std::string_view text);
    [[nodiscard]] std::string serialize() const;
    // Writes the whole text; false when the file cannot be written.
    [[nodiscard]] bool save(const std::string& path) const;

    [[nodiscard]] bool hasSection(std::string_view section) const;
    [[nodiscard]] bool hasKey(std::string_view section, std::string_view key) const;
    // A repeated key gives its first value.
    [[nodiscard]] std::optional<std::string> get(std::string_view section, std::string_view key) const;
    void set(std::string_view section, std::string_view key, std::string_view value);
    void eraseSection(std::string_view section);

private:
    struct Entry {
        std::string key;
        std::string value;
        bool plain = false; // a line without "=", kept as it stood
    };
    struct Section {
        std::string name; // empty for lines before the first header
        std::vector<Entry> entries;
    };
    [[nodiscard]] const Section* find(std::string_view section) const;
    Section& findOrAdd(std::string_view section);

    std::vector<Section> m_sections;
};

} // namespace kx::files
