// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kx::manual {

// One chapter of the manual in one language.
struct Chapter {
    std::string name;           // file name, e.g. "02-main-window.md"; the order of the manual
    std::filesystem::path path; // the file read
    bool translated = false;    // false: the English text stands in
};

// The chapters of `language`: the English folder fixes which chapters there are and their order
// (by file name); each is taken from the language's folder where it exists there, else in English.
// Empty when the source has no English chapters.
std::vector<Chapter> manualChapters(const std::filesystem::path& source, const std::string& language);

// The targets of the Markdown images in `markdown` (![text](target)), in order.
std::vector<std::string> imageTargets(const std::string& markdown);

// `text` with every "@VERSION@" replaced.
std::string withVersion(std::string text, const std::string& version);

// The whole file; empty when it cannot be read.
std::string readText(const std::filesystem::path& path);

} // namespace kx::manual
