// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a prompt that answers every box and a file to hand the readers
// that read by name.

#include "core/Prompt.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace kx::fuzz {

// Answers Yes to every question and cancels every file dialog.
class QuietPrompt : public core::Prompt {
public:
    core::Answer message(const std::string&, const std::string&, core::MessageStyle) override {
        return core::Answer::Yes;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

// The input written to a file of this process (one per extension), for readers that take a path.
inline std::string inputFile(const std::uint8_t* data, std::size_t size, const char* extension) {
    // In memory where there is a memory file system: the settings writer syncs what it writes.
    std::error_code ec;
    const std::filesystem::path dir =
        std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    const std::string path = (dir / ("kx_fuzz_" + std::to_string(::getpid()) + extension)).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

} // namespace kx::fuzz
