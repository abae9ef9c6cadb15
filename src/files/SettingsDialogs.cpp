// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsDialogs.h"

#include "core/Text.h"

#include <filesystem>

namespace kx::files {

namespace fs = std::filesystem;

namespace {

constexpr core::TextPair kOpenDialogTitle{"Open Settings", "Открытие настроек"};
constexpr core::TextPair kOpenFilter{"Settings File (*.kxs)|*.kxs|All Files (*.*)|*.*",
                                     "Файлы настроек (*.kxs)|*.kxs|Все файлы (*.*)|*.*"};
constexpr core::TextPair kSaveDialogTitle{"Save Settings", "Сохранение файла настроек"};
constexpr core::TextPair kSaveFilter{"Settings File (*.kxs)|*.kxs", "Файл настроек (*.kxs)|*.kxs"};

void rememberFolder(const std::string& path, std::string& lastDir) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) lastDir = parent.string();
}

} // namespace

std::string chooseOpenSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir) {
    std::string path = prompt.openFile(kOpenDialogTitle.pick(russian), kOpenFilter.pick(russian), lastDir);
    if (path.empty()) return path;
    if (!fs::path(path).has_extension() && !fs::exists(path)) path += ".kxs";
    rememberFolder(path, lastDir);
    return path;
}

std::string chooseSaveSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir,
                                   const std::string& dataFileName) {
    const std::string offered =
        dataFileName.empty() ? std::string("*.kxs") : fs::path(dataFileName).replace_extension(".kxs").string();
    std::string path =
        prompt.saveFile(kSaveDialogTitle.pick(russian), kSaveFilter.pick(russian), lastDir, offered);
    if (path.empty()) return path;
    if (!fs::path(path).has_extension()) path += ".kxs";
    rememberFolder(path, lastDir);
    return path;
}

} // namespace kx::files
