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

// Writes the text to a new file in the same folder and renames it over `path`, so that the old
// file stays whole until the new one is complete: a refusing folder, a full disk or a crash on the
// way leaves it as it was. Through a link, the file it names is replaced. False on any failure.
bool replaceWholeFile(const std::string& path, std::string_view text);

// The access test before a save: a missing file, or a regular file we may write. Unlike opening it
// for writing, the test leaves an existing file as it is.
bool mayReplace(const std::string& path);

bool fileExists(const std::string& path);
// The name without its directory.
std::string fileNameOf(const std::string& path);
std::string withExtension(const std::string& path, const char* extension);

} // namespace kx::files
