// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/BusyFlag.h"
#include "app/FileDispatch.h"
#include "core/Prompt.h"

#include <functional>
#include <string>
#include <string_view>

namespace kx::app {

// The window's three ways of opening a file by name.
struct FileOpeners {
    std::function<void(const std::string&)> awgScript; // compile and load, without the information box
    std::function<void(const std::string&)> settings;
    std::function<void(const std::string&)> data;
};

// Opens a file by its kind (see dispatchKind); an Unsupported drop gets the refusal message.
// Used as it is for the file named on the command line at start-up.
FileKind dispatchFile(std::string_view path, bool fromDrop, const FileOpeners& open, core::Prompt& prompt,
                      bool russian);

// A file reaching the running instance from a second start (fromDrop false) or a drop. Ignored while
// the instance is busy; otherwise the instance stays busy while the file opens, and lastDir becomes
// the file's folder, also after a refused drop. False when it was ignored or the path was empty.
bool openArrivedFile(std::string_view path, bool fromDrop, BusyFlag& busy, const FileOpeners& open,
                     core::Prompt& prompt, bool russian, std::string& lastDir);

} // namespace kx::app
