// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileArrival.h"

namespace kx::app {

FileKind dispatchFile(std::string_view path, bool fromDrop, const FileOpeners& open, core::Prompt& prompt,
                      bool russian) {
    const FileKind kind = dispatchKind(path, fromDrop);
    const std::string name(path);
    const std::function<void(const std::string&)>* opener = nullptr;
    switch (kind) {
    case FileKind::AwgScript:
        opener = &open.awgScript;
        break;
    case FileKind::Settings:
        opener = &open.settings;
        break;
    case FileKind::Data:
        opener = &open.data;
        break;
    case FileKind::Unsupported:
        if (!path.empty()) reportUnsupportedFile(prompt, path, russian);
        return kind;
    }
    if (opener && *opener) (*opener)(name);
    return kind;
}

bool openArrivedFile(std::string_view path, bool fromDrop, BusyFlag& busy, const FileOpeners& open,
                     core::Prompt& prompt, bool russian, std::string& lastDir) {
    if (path.empty() || busy.busy()) return false;
    const BusyMark mark(busy);
    dispatchFile(path, fromDrop, open, prompt, russian);
    if (std::string dir = fileDirectory(path); !dir.empty()) lastDir = std::move(dir);
    return true;
}

} // namespace kx::app
