// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <string>

namespace kx::files {

// The dialogs of "Open Settings..." and "Save Settings...": the chosen path ("" on cancel);
// lastDir becomes the file's folder. A name typed without extension gets ".kxs".
std::string chooseOpenSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir);
// `dataFileName`: the remembered data file name, offered with ".kxs"; empty offers "*.kxs".
std::string chooseSaveSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir,
                                   const std::string& dataFileName);

} // namespace kx::files
