// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

// Texts of the AWG compiler. The Russian failure texts lead with the words and end with
// the name, also where the English ones put the name first.
namespace kx::generator::awgtext {

using core::TextPair;

inline constexpr TextPair kOpenFileTitle{"Open AWG file", "Открытие файла генератора"};
inline constexpr TextPair kFileNotFound{"\r\nFile not found.", "\r\nФайл не найден."};
inline constexpr TextPair kWrongLabel{"Wrong lable - ", "Недопустимый символ в имени метки - "};
inline constexpr TextPair kEmptyLabel{"Wrong lable - :", "Недопустимая метка - :"};
inline constexpr TextPair kDuplicateLabel{"Duplicate lable - ", "Повтор метки - "};
inline constexpr TextPair kInvalidCommand{"Invalid command - ", "Недопустимая команда - "};
inline constexpr TextPair kParameterMissing{"Parameter is missing", "Отсутствует параметр"};
inline constexpr TextPair kOutOfMemory{"Out of memory", "Недостаточно памяти"};
inline constexpr TextPair kWrongParameter{"Wrong parameter - ", "Недопустимый параметр - "};
// English suffix; Russian prefix.
inline constexpr TextPair kOutOfRange{" is out of range", "Недопустимый параметр - "};
inline constexpr TextPair kWrongOperand{"Wrong parameter - ", "Недопустимый символ в имени параметра - "};
// English suffix; Russian prefix.
inline constexpr TextPair kUndefined{" is undefined", "Метка не найдена - "};
inline constexpr TextPair kResultCaption{"Open AWG File", "Открытие файла генератора ПФ"};
inline constexpr TextPair kErrorInLine{"Error in line ", "Ошибка в строке "};
inline constexpr TextPair kBoxLines{"Lines = ", "Число строк = "};
inline constexpr TextPair kBoxCommands{"\r\nCommands = ", "\r\nЧисло команд = "};
inline constexpr TextPair kStatusLines{"Lines = ", "Строк = "};
inline constexpr TextPair kStatusCommands{"  Commands = ", "  Команд = "};
inline constexpr TextPair kMarkOff{"D1 trigger mark OFF", "Метка синхр. по каналу D1 выкл."};
inline constexpr TextPair kMarkAddr0{"Addr 0", "Адрес 0 (кнопка Пуск)"};
inline constexpr TextPair kFileFilter{"AWG File (*.kxg)|*.kxg|All Files (*.*)|*.*",
                                      "Файлы генератора (*.kxg)|*.kxg|Все файлы (*.*)|*.*"};

inline constexpr const char* kBaudRate = "\r\nBaud Rate = ";
inline constexpr const char* kBaudErr = " (Err = ";
inline constexpr const char* kBaudErrEnd = "%)";

} // namespace kx::generator::awgtext
