// SPDX-License-Identifier: GPL-3.0-or-later
#include "ManualSource.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kx::manual {

namespace fs = std::filesystem;

std::vector<Chapter> manualChapters(const fs::path& source, const std::string& language) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(source / "en", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".md" && it->is_regular_file(ec))
            names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());

    std::vector<Chapter> out;
    for (const std::string& name : names) {
        const fs::path own = source / language / name;
        const bool translated = language == "en" || fs::is_regular_file(own, ec);
        out.push_back({name, translated ? own : source / "en" / name, translated});
    }
    return out;
}

std::vector<std::string> imageTargets(const std::string& markdown) {
    std::vector<std::string> out;
    for (std::size_t at = markdown.find("!["); at != std::string::npos; at = markdown.find("![", at + 2)) {
        const std::size_t close = markdown.find("](", at + 2);
        if (close == std::string::npos) break;
        if (markdown.find('\n', at) < close) continue; // not one image: the text spans lines
        const std::size_t end = markdown.find(')', close + 2);
        if (end == std::string::npos) break;
        std::string target = markdown.substr(close + 2, end - close - 2);
        // A title may follow the target: ![x](a.png "title").
        if (const std::size_t space = target.find(' '); space != std::string::npos) target.erase(space);
        out.push_back(target);
    }
    return out;
}

std::string withVersion(std::string text, const std::string& version) {
    static const std::string kToken = "@VERSION@";
    for (std::size_t at = text.find(kToken); at != std::string::npos;
         at = text.find(kToken, at + version.size()))
        text.replace(at, kToken.size(), version);
    return text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kx::manual
