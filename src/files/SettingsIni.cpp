// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsIni.h"

#include "core/RegularFile.h"
#include "files/FileOutput.h"

#include <algorithm>
#include <cctype>

namespace kx::files {

namespace {

// Names compare without regard to (ASCII) case.
std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

} // namespace

bool SettingsIni::load(const std::string& path) {
    std::string text;
    if (core::readRegularFile(path, kMaxFileBytes, text) != core::FileReadStatus::Ok) {
        parse({});
        return false;
    }
    parse(text);
    return true;
}

void SettingsIni::parse(std::string_view text) {
    m_sections.clear();
    m_index.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // UTF-8 byte order mark
    // An index, not a pointer: adding a section moves the others.
    std::size_t current = SIZE_MAX;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos) {
            text = {};
        } else {
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            text.remove_prefix(end + (crlf ? 2 : 1));
        }
        line = trim(line);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            Section& s = findOrAdd(trim(line.substr(1, line.size() - 2)));
            current = static_cast<std::size_t>(&s - m_sections.data());
            continue;
        }
        if (current == SIZE_MAX) {
            m_sections.push_back(Section{});
            current = m_sections.size() - 1;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.front() == ';')
            addEntry(m_sections[current], Entry{std::string(line), {}, true});
        else
            addEntry(m_sections[current], Entry{std::string(trim(line.substr(0, eq))),
                                                std::string(trim(line.substr(eq + 1))), false});
    }
}

std::string SettingsIni::serialize() const {
    std::string out;
    for (const Section& s : m_sections) {
        if (!s.name.empty() || !s.entries.empty()) {
            if (!s.name.empty()) out += "[" + s.name + "]\r\n";
            for (const Entry& e : s.entries) out += e.plain ? e.key + "\r\n" : e.key + "=" + e.value + "\r\n";
            out += "\r\n";
        }
    }
    return out;
}

bool SettingsIni::save(const std::string& path) const {
    return replaceWholeFile(path, serialize());
}

void SettingsIni::addEntry(Section& s, Entry entry) {
    if (!entry.plain) s.keys.try_emplace(folded(entry.key), s.entries.size());
    s.entries.push_back(std::move(entry));
}

void SettingsIni::reindexSections() {
    m_index.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        if (!m_sections[i].name.empty()) m_index.try_emplace(folded(m_sections[i].name), i);
}

const SettingsIni::Section* SettingsIni::find(std::string_view section) const {
    const auto it = m_index.find(folded(section));
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

SettingsIni::Section& SettingsIni::findOrAdd(std::string_view section) {
    if (const Section* s = find(section); s != nullptr && !section.empty())
        return m_sections[static_cast<std::size_t>(s - m_sections.data())];
    m_sections.push_back(Section{std::string(section), {}, {}});
    if (!section.empty()) m_index.emplace(folded(section), m_sections.size() - 1);
    return m_sections.back();
}

bool SettingsIni::hasSection(std::string_view section) const {
    return find(section) != nullptr;
}

bool SettingsIni::hasKey(std::string_view section, std::string_view key) const {
    return get(section, key).has_value();
}

std::optional<std::string> SettingsIni::get(std::string_view section, std::string_view key) const {
    const Section* s = find(section);
    if (s == nullptr) return std::nullopt;
    const auto it = s->keys.find(folded(key));
    if (it == s->keys.end()) return std::nullopt;
    return s->entries[it->second].value;
}

void SettingsIni::set(std::string_view section, std::string_view key, std::string_view rawValue) {
    // A line break inside a value would split it into lines of its own on the next read.
    std::string value(rawValue);
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    Section& s = findOrAdd(section);
    if (const auto it = s.keys.find(folded(key)); it != s.keys.end()) {
        s.entries[it->second].value = value;
        return;
    }
    addEntry(s, Entry{std::string(key), value, false});
}

void SettingsIni::eraseSection(std::string_view section) {
    const auto it = m_index.find(folded(section));
    if (it == m_index.end()) return;
    m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(it->second));
    reindexSections();
}

} // namespace kx::files
