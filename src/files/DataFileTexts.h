// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

namespace kx::files::texts {

using core::TextPair;

inline constexpr TextPair kSaveDialogTitle{"Save", "Сохранение данных"};
inline constexpr TextPair kSaveFilter{"Data File (*.kxd)|*.kxd", "Файл данных (*.kxd)|*.kxd"};
inline constexpr TextPair kSaveTitle{"Save", "Сохранение файла данных"};
inline constexpr TextPair kCantWrite{"\r\nCan't open file for writing.", "\r\nНет доступа к файлу."};
inline constexpr TextPair kCompanionExists{"\r\nThe file already exists. Replace existing file?",
                                           " уже существует.\r\nЗаменить?"};
inline constexpr TextPair kCompanionTitle{"Save Settings File", "Сохранение сопутствующего файла настроек."};

inline constexpr TextPair kOpenDialogTitle{"Open", "Открытие данных"};
inline constexpr TextPair kOpenFilter{"Data File (*.kxd)|*.kxd|All Files (*.*)|*.*",
                                      "Файлы данных (*.kxd)|*.kxd|Все файлы (*.*)|*.*"};
inline constexpr TextPair kOpenTitle{"Open", "Открытие файла данных"};
inline constexpr TextPair kNotFound{"\r\nFile not found.", "\r\nФайл не найден."};
inline constexpr TextPair kVersion1{"\r\nPlease use software version 1.xx to open.",
                                    "\r\nДля открытия используйте программу версии 1.xx."};
inline constexpr TextPair kVersion2{"\r\nPlease use software version 2.xx to open.",
                                    "\r\nДля открытия используйте программу версии 2.xx."};
inline constexpr TextPair kInvalidFormat{"\r\nInvalid file format.", "\r\nНеверный формат файла."};
inline constexpr TextPair kCrcError{"\r\nInvalid file format. (CRC error)", "\r\nОшибка CRC файла."};
inline constexpr TextPair kBgCrcError{"\r\nInvalid file format (b.g. part). (CRC error)",
                                      "\r\nОшибка CRC файла (фоновая осциллограмма)."};
inline constexpr TextPair kInterfaceChanged{"Interface has been changed for ", "Интерфейс перестроен для "};
inline constexpr TextPair kSettingsNotFound{"Settings file not found  ",
                                            "Не найден сопутствующий файл настроек  "};
inline constexpr TextPair kOpenSettingsTitle{"Open Settings", "Открытие файла настроек"};

} // namespace kx::files::texts
