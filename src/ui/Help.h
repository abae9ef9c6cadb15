// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kx::ui {

// The help document for the interface's device type: the TRM207 manuals by their own names
// (relative to the current folder), otherwise the executable's path with the extension ".pdf".
std::string helpDocumentPath(std::int32_t uiDeviceType, const std::string& executablePath);

// The document Help opens: the one above when it exists; for the program's own manual, else the
// copy of the same name in the documentation folder of an installed program. When neither
// exists, the name to report: the installed copy's once that folder exists, else the one above.
std::string helpDocumentToOpen(std::int32_t uiDeviceType, const std::string& executablePath);

struct HelpMessage {
    std::string caption;
    std::string text;
};

// The message for a help document that is not there.
HelpMessage helpNotFoundMessage(const std::string& document, bool russian);

// Opens the help document with the desktop's viewer. Returns the message for the window to
// show (error style) when the document does not exist.
std::optional<HelpMessage> openHelp(std::int32_t uiDeviceType, const std::string& executablePath,
                                    bool russian);

// The same, showing the message through `prompt`.
void openHelp(std::int32_t uiDeviceType, const std::string& executablePath, bool russian,
              core::Prompt& prompt);

} // namespace kx::ui
