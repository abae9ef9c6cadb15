// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kx::files {

// An INI-form settings file held whole in memory: sections and keys keep their order, names
// compare without regard to case, lines before the first section and lines without "=" are
// kept as they stood, and the text is rewritten whole with CR LF line ends. Sections and keys are
// found through indexes, so reading a file of many sections or keys takes linear time.
class SettingsIni {
public:
    // A settings file is a few kilobytes; a device, a FIFO or anything larger is not one.
    static constexpr std::size_t kMaxFileBytes = 4u << 20;

    // Reads the file; false (and an empty document) when it cannot be read, is no regular file or
    // is longer than kMaxFileBytes.
    bool load(const std::string& path);
    void parse(std::string_view text);
    [[nodiscard]] std::string serialize() const;
    // Writes the whole text to a new file beside `path` and renames it over the old one, so a
    // failure on the way (a refusing folder, a full disk) leaves the old file as it was. False
    // when the file could not be replaced.
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
        std::unordered_map<std::string, std::size_t> keys; // folded key -> first entry with it
    };
    [[nodiscard]] const Section* find(std::string_view section) const;
    Section& findOrAdd(std::string_view section);
    static void addEntry(Section& s, Entry entry);
    void reindexSections();

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_index; // folded name -> named section
};

} // namespace kx::files
