// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kx::files {

// Creates (or replaces) the file and writes the bytes; false when it cannot be created or not
// every byte reached it.
bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);
bool writeWholeFile(const std::string& path, std::string_view text);

bool fileExists(const std::string& path);
// The name without its directory.
std::string fileNameOf(const std::string& path);
std::string withExtension(const std::string& path, const char* extension);

} // namespace kx::files
