// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileOutput.h"

#include <cstdio>
#include <filesystem>

namespace kx::files {

namespace fs = std::filesystem;

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

bool writeWholeFile(const std::string& path, std::string_view text) {
    return writeWholeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string fileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string withExtension(const std::string& path, const char* extension) {
    return fs::path(path).replace_extension(extension).string();
}

} // namespace kx::files
