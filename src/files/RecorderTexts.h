// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

namespace kx::files::texts {

using core::TextPair;

// "Двоичый" as the program has always spelt it in this box.
inline constexpr TextPair kRecorderRefusedTitle{"Binary Recorder", "Двоичый самописец"};
inline constexpr TextPair kRecorderRefused{
    "Run 0.1 .. 1000 S/Div. On A1. Disable Trigger.",
    "Запустите развертку 0.1 .. 1000 S/Div. Включите канал A1. Отключите синхронизацию."};

inline constexpr TextPair kRecorderWindow{"Binary Recorder", "Двоичный самописец"};
inline constexpr TextPair kRecorderButtonFile{"File", "Файл"};
inline constexpr TextPair kRecorderButtonStart{"Start", "Старт"};
inline constexpr TextPair kRecorderButtonStop{"Stop", "Стоп"};
inline constexpr TextPair kRecorderButtonExit{"Exit", "Выход"};
inline constexpr TextPair kRecorderSizeIdle{"Size = ...", "Записано = ..."};

inline constexpr TextPair kRecorderFileTitle{"Recorder File", "Файл самописца"};
inline constexpr TextPair kRecorderFilter{"Recorder File (*.bin)|*.bin", "Файл самописца (*.bin)|*.bin"};
inline constexpr TextPair kRecorderStopQuestion{"Stop recording?", "Прервать запись самописца?"};
inline constexpr TextPair kRecorderTextTitle{"Save Text File For Recorder File",
                                             "Сохранение сопутствующего текстового файла."};

inline constexpr TextPair kInfoRate{"Sampling rate = ", "Частота дискретизации = "};
inline constexpr TextPair kInfoPeakOn{"Peak detector on, bytes per sample = 4",
                                      "Пиковый детектор включен, байтов на выборку = 4"};
inline constexpr TextPair kInfoPeakOff{"Peak detector off, bytes per sample = 2",
                                       "Пиковый детектор выключен, байтов на выборку = 2"};
inline constexpr TextPair kInfoFormat{"Data format = Signed 16 bit LSB First",
                                      "Формат данных = Signed 16 bit LSB First"};
inline constexpr TextPair kInfoSpeed{"Write speed = ", "Скорость записи = "};
inline constexpr TextPair kInfoSpeedUnit{" MBytes/hour", " МБайт/час"};
inline constexpr TextPair kInfoTimeStep{"Time step = ", "Шаг по времени = "};
inline constexpr TextPair kInfoVoltageStep{"Voltage step = ", "Шаг по напряжению = "};
inline constexpr TextPair kInfoZero{"Zero level = ", "Уровень нуля = "};
inline constexpr TextPair kInfoNotReady{"Not ready.", "Не готов."};
inline constexpr TextPair kInfoStart{"Start recording = ", "Начало записи = "};
inline constexpr TextPair kInfoStop{"Stop recording = ", "Конец записи = "};

inline constexpr TextPair kRecorderTextFile{"Oscilloscope recorder file = ", "Файл самописца = "};
inline constexpr TextPair kRecorderSize{"Size = ", "Записано = "};
inline constexpr TextPair kRecorderBytes{" Bytes", " Байт"};
inline constexpr TextPair kRecorderTime{"Time = ", "Время = "};
inline constexpr TextPair kRecorderLabelTime{"    Time = ", "    Время = "};
// Values the instrument overwrote before the program could collect them.
inline constexpr TextPair kRecorderLost{"Lost = ", "Потеряно = "};
inline constexpr TextPair kRecorderLabelLost{"    Lost = ", "    Потеряно = "};

} // namespace kx::files::texts
