// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsIni.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace kx::files {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

} // namespace

bool SettingsIni::load(const std::string& path) {
    m_sections.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // A settings file is a few kilobytes; anything huge is not one and is not taken into memory.
    constexpr std::streamoff kMaxSize = 16 * 1024 * 1024;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxSize) return false;
    in.seekg(0, std::ios::beg);
    std::ostringstream text;
    text << in.rdbuf();
    parse(text.str());
    return true;
}

void SettingsIni::parse(std::string_view text) {
    m_sections.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // UTF-8 byte order mark
    Section* current = nullptr;
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
            current = &findOrAdd(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        if (current == nullptr) {
            m_sections.push_back(Section{});
            current = &m_sections.back();
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.front() == ';')
            current->entries.push_back(Entry{std::string(line), {}, true});
        else
            current->entries.push_back(
                Entry{std::string(trim(line.substr(0, eq))), std::string(trim(line.substr(eq + 1))), false});
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string text = serialize();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

const SettingsIni::Section* SettingsIni::find(std::string_view section) const {
    for (const Section& s : m_sections)
        if (!s.name.empty() && sameName(s.name, section)) return &s;
    return nullptr;
}

SettingsIni::Section& SettingsIni::findOrAdd(std::string_view section) {
    for (Section& s : m_sections)
        if (!s.name.empty() && sameName(s.name, section)) return s;
    m_sections.push_back(Section{std::string(section), {}});
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
    for (const Entry& e : s->entries)
        if (!e.plain && sameName(e.key, key)) return e.value;
    return std::nullopt;
}

void SettingsIni::set(std::string_view section, std::string_view key, std::string_view rawValue) {
    // A line break inside a value would split it into lines of its own on the next read.
    std::string value(rawValue);
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    Section& s = findOrAdd(section);
    for (Entry& e : s.entries)
        if (!e.plain && sameName(e.key, key)) {
            e.value = value;
            return;
        }
    s.entries.push_back(Entry{std::string(key), value, false});
}

void SettingsIni::eraseSection(std::string_view section) {
    std::erase_if(m_sections, [&](const Section& s) { return !s.name.empty() && sameName(s.name, section); });
}

} // namespace kx::files
