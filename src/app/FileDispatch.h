// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"
#include "core/Text.h"

#include <string>
#include <string_view>

namespace kx::app {

// What a file reaching the running program (command line, a second start, a drop) is opened as.
enum class FileKind { AwgScript, Settings, Data, Unsupported };

// Chosen by the extension, compared case-insensitively: ".kxg" is an AWG script (compiled and loaded
// without the information box), ".kxs" a settings file. The command line and a second start give
// everything else to the data-file opener, which reports a wrong format itself; a drop accepts only
// ".kxd" besides those two. An empty path has nothing to open and is Unsupported.
FileKind dispatchKind(std::string_view path, bool fromDrop);

// The extension with its dot, upper-cased ("" when the name has none).
std::string upperExtension(std::string_view path);

inline constexpr core::TextPair kOpenFileCaption{"Open File", "Открытие файла"};
inline constexpr core::TextPair kUnsupportedFileFormat{"\r\nUnsupported file format.",
                                                       "\r\nФормат файла не поддерживается."};

// The refusal of a dropped file: its full name followed by the line above.
std::string unsupportedFileText(std::string_view path, bool russian);
// Shows that refusal with the error icon.
void reportUnsupportedFile(core::Prompt& prompt, std::string_view path, bool russian);

// Every copy started from an executable of the same file name shares this name, so copies under
// different names run side by side: "/opt/kx/kx48zz" -> "kx48zz_Mutex_951413_04".
inline constexpr std::string_view kInstanceNameSuffix = "_Mutex_951413_04";
std::string instanceName(std::string_view executablePath);

// The folder a file lies in, for LastDir; "" when the path names no folder (keep LastDir then).
std::string fileDirectory(std::string_view path);

} // namespace kx::app
