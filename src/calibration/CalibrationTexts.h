// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

namespace kx::calibration {

// Shown before a calibration switches the interface to the model the instrument reports.
inline constexpr core::TextPair kInterfaceChanged{"Interface will be changed for ",
                                                  "Интерфейс будет перестроен для "};

// Zero calibration.
inline constexpr core::TextPair kZeroCaption{"Zero Calibrate", "Калибровка уровня нуля"};
inline constexpr core::TextPair kZeroDisconnect{"Disconnect everything from BNC's and press Start button.",
                                                "Отключите всё от разъемов устройства."};
inline constexpr core::TextPair kZeroRunning{"Calibration, please wait...", "Идет калибровка ..."};
inline constexpr core::TextPair kZeroDone{"Calibration OK.", "Калибровка закончена."};
inline constexpr core::TextPair kZeroFailed{"Calibration failed.", "Ошибка калибровки."};
inline constexpr core::TextPair kZeroLevel{"Zero Level = ", "Уровень нуля = "};
inline constexpr core::TextPair kStart{"Start", "Старт"};
inline constexpr core::TextPair kCancel{"Cancel", "Отмена"};

// Frequency calibration.
inline constexpr core::TextPair kFreqCaption{"System Freq. Calibration", "Калибр. системной частоты"};

// System calibration.
inline constexpr core::TextPair kSystemCaption{"System Calibrate", "Системная калибровка"};
inline constexpr core::TextPair kAdcGroup[2] = {{"ADC A1 Calibration", "Калибровка АЦП A1"},
                                                {"ADC A2 Calibration", "Калибровка АЦП A2"}};
inline constexpr core::TextPair kAdcMatching[2] = {{"ADC A1 Matching", "Сопряжение АЦП канала A1"},
                                                   {"ADC A2 Matching", "Сопряжение АЦП канала A2"}};
inline constexpr core::TextPair kGeneratorGroup{"Generator Calibration", "Калибровка генератора"};
inline constexpr core::TextPair kGeneratorPrefix{"Generator Calibration. ", "Калибровка генератора. "};
inline constexpr core::TextPair kDitherLabel[2] = {{"Dither A1 Compensation", "Компенсация dither A1"},
                                                   {"Dither A2 Compensation", "Компенсация dither A2"}};
inline constexpr core::TextPair kFrequencyGroup{"System Frequency Calibration",
                                                "Калибровка системной частоты"};
inline constexpr core::TextPair kReferenceFrequency{"Reference Frequency (Hz)", "Опорная частота (Гц)"};
inline constexpr core::TextPair kFMeter{"F Meter = ", "Частотомер = "};
inline constexpr core::TextPair kReferenceValues{"Calibration Reference Values",
                                                 "Отклонение в опорных точках интерполятора (ppm)"};
inline constexpr core::TextPair kDigitalGroup{"Digital Chanels Test (Thresh. = ",
                                              "Проверка цифровых каналов (порог = "};

} // namespace kx::calibration
