// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsDialogs.h"

#include "core/Text.h"
#include "files/FileDialogs.h"

#include <filesystem>

namespace kx::files {

namespace {

constexpr FileDialogKind kOpenSettings{{"Open Settings", "Открытие настроек"},
                                       {"Settings File (*.kxs)|*.kxs|All Files (*.*)|*.*",
                                        "Файлы настроек (*.kxs)|*.kxs|Все файлы (*.*)|*.*"},
                                       ".kxs"};
constexpr FileDialogKind kSaveSettings{{"Save Settings", "Сохранение файла настроек"},
                                       {"Settings File (*.kxs)|*.kxs", "Файл настроек (*.kxs)|*.kxs"},
                                       ".kxs"};

} // namespace

std::string chooseOpenSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir) {
    return chooseFileToOpen(prompt, russian, lastDir, kOpenSettings);
}

std::string chooseSaveSettingsFile(core::Prompt& prompt, bool russian, std::string& lastDir,
                                   const std::string& dataFileName) {
    const std::string offered = dataFileName.empty()
                                    ? std::string("*.kxs")
                                    : std::filesystem::path(dataFileName).replace_extension(".kxs").string();
    return chooseFileToSave(prompt, russian, lastDir, kSaveSettings, offered);
}

} // namespace kx::files
