// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileDialogs.h"

#include <filesystem>

namespace kx::files {

namespace fs = std::filesystem;

namespace {

void rememberFolder(const std::string& path, std::string& lastDir) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) lastDir = parent.string();
}

} // namespace

std::string chooseFileToOpen(core::Prompt& prompt, bool russian, std::string& lastDir, const FileDialogKind& kind) {
    std::string path = prompt.openFile(kind.title.pick(russian), kind.filter.pick(russian), lastDir);
    if (path.empty()) return path;
    std::error_code ec;
    if (!fs::path(path).has_extension() && !fs::exists(path, ec)) path += kind.extension;
    rememberFolder(path, lastDir);
    return path;
}

std::string chooseFileToSave(core::Prompt& prompt, bool russian, std::string& lastDir, const FileDialogKind& kind,
                             const std::string& offeredName) {
    std::string path = prompt.saveFile(kind.title.pick(russian), kind.filter.pick(russian), lastDir, offeredName);
    if (path.empty()) return path;
    if (!fs::path(path).has_extension()) path += kind.extension;
    rememberFolder(path, lastDir);
    return path;
}

} // namespace kx::files
