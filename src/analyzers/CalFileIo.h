// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx::analyzers {

enum class CalFileStatus { Ok, NotFound, WrongFormat, CannotWrite };

// Size of the header before the point data of ".kxc" and ".kxo" files.
constexpr std::size_t kCalFileHeaderBytes = 100;

// Reads at most maxBytes + 1 bytes (so that a longer file shows as too long without reading it all).
CalFileStatus readCalFileBytes(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out);
CalFileStatus writeCalFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// Little-endian fields.
void putInt32(std::vector<std::uint8_t>& out, std::int32_t v);
void putDouble(std::vector<std::uint8_t>& out, double v);
std::int32_t getInt32(std::span<const std::uint8_t> in, std::size_t at);
double getDouble(std::span<const std::uint8_t> in, std::size_t at);

// The header of both files: count, start, span, 22 reserved words.
void putCalHeader(std::vector<std::uint8_t>& out, std::int32_t count, std::int32_t startHz,
                  std::int32_t spanHz);

// Checks the header against the length (longer than the header, count at most 10000, span not
// 0, length exactly header + arrays x 16 x count) and gives its fields.
bool checkCalHeader(std::span<const std::uint8_t> in, int arrays, std::int32_t& count, std::int32_t& startHz,
                    std::int32_t& spanHz);

// The line that follows the path in a file error box ("\r\nFile not found." ...).
const char* calFileErrorText(CalFileStatus status, bool russian);

// Shows path + the error line under the caption; nothing for Ok.
void reportCalFileError(core::Prompt& prompt, const std::string& caption, const std::string& path,
                        CalFileStatus status, bool russian);

} // namespace kx::analyzers
