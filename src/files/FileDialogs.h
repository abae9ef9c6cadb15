// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"
#include "core/Text.h"

#include <string>

namespace kx::files {

// One kind of file in the open and save dialogs.
struct FileDialogKind {
    core::TextPair title;
    core::TextPair filter;
    const char* extension; // with its dot: given to a name typed without one
};

// The chosen path ("" on cancel); lastDir becomes the file's folder. An opened name without an
// extension gets one only when no such file exists; a saved one always does.
std::string chooseFileToOpen(core::Prompt& prompt, bool russian, std::string& lastDir, const FileDialogKind& kind);
std::string chooseFileToSave(core::Prompt& prompt, bool russian, std::string& lastDir, const FileDialogKind& kind,
                             const std::string& offeredName);

} // namespace kx::files
