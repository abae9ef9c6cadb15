// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"
#include "core/state/GeneratorState.h"

#include <array>
#include <string>

// Texts of the generator panel and of TForm_GeneratorSet. Where a text is the same in both
// languages it stands in both halves of its pair.
namespace kx::generator::gentext {

using core::TextPair;

// Panel.
inline constexpr std::array<TextPair, 6> kFrequencyRanges{{{"10 K", "10 K"},
                                                           {"100 K", "100 K"},
                                                           {"1 M", "1 M"},
                                                           {"10 M", "10 M"},
                                                           {"100 M", "100 M"},
                                                           {"Noise", "Шум"}}};
inline constexpr const char* k200M = "200 M";
// Full scale of the pulse ranges, for the range buttons from left to right.
inline constexpr std::array<const char*, 6> kPulseRanges{"5 S", "0.5 S", "50 mS", "5 mS", "0.5 mS", "50 uS"};
inline constexpr const char* kNoiseFrequency = "Noise";
inline constexpr const char* kSweepDots = "   ...   ";
inline constexpr const char* kPulseSlash = " / ";
inline constexpr const char* kDutyUnknown = "... %  ";
inline constexpr const char* kDutyUnit = " %  ";
inline constexpr const char* kPulseFreqUnknown = "... Hz";
inline constexpr const char* kPercent = " %";
inline constexpr const char* kRms = "rms";
inline constexpr TextPair kFileNotLoaded{"File not loaded", "Файл не загружен"};
inline constexpr std::array<const char*, 4> kModTypePrefix{"AM ", "FM ", "PM ", "SUM "};
inline constexpr std::array<const char*, 9> kModSourceSuffix{
    "", "   CH A1", "   CH A2", "   CH D1", "   CH D2", "   CH D3", "   CH D4", "   Pulse", "   AWG"};
inline constexpr const char* kInternalGap = "   ";
inline constexpr const char* kNoiseSource = "   Noise ";

// Default-value questions of the AWG function.
inline constexpr TextPair kAwgCaption{"AWG ", "Генератор ПФ"};
inline constexpr TextPair kRestorePeriod{"Restore default value?", "Восстановить исходное значение периода?"};
inline constexpr TextPair kRestoreAmplitude{"Restore default value?",
                                            "Восстановить исходное значение амплитуды?"};
inline constexpr TextPair kNoDefaultPeriod{"There is no default value",
                                           "Отсутствует исходное значение периода"};
inline constexpr TextPair kNoDefaultAmplitude{"There is no default value",
                                              "Отсутствует исходное значение амплитуды"};

// Dialog.
inline constexpr TextPair kTitle{"Generator Settings", "Установки генератора"};
inline constexpr TextPair kDcGroup{"DC Level", "Постоянная составляющая"};
inline constexpr TextPair kZero{"Zero", "Zero"};
inline constexpr std::array<TextPair, 4> kDcModes{
    {{"Positiv", "Positiv"}, {"DC", "DC"}, {"Negativ", "Negativ"}, {"Symmetrical", "Symmetrical"}}};
inline constexpr std::array<TextPair, 4> kDcLabel{{{"Most Negativ Level = ", "Минимальный уровень = "},
                                                   {"DC Level = ", "Постоянная составляющая = "},
                                                   {"Most Positive Level = ", "Максимальный уровень = "},
                                                   {"Symmetry Level = ", "Уровень симметрии = "}}};
inline constexpr TextPair kModGroup{"Modulation", "Модуляция"};
inline constexpr std::array<TextPair, 4> kModTypes{
    {{"AM", "AM"}, {"FM", "ЧМ"}, {"PM", "ФМ"}, {"SUM", "СУМ"}}};
inline constexpr TextPair kSourceLabel{"Modulation Signal Source", "Источник модулирующего сигнала"};
inline constexpr std::array<TextPair, 9> kSources{{{"Int", "Внутр."},
                                                   {"A1", "A1"},
                                                   {"A2", "A2"},
                                                   {"D1", "D1"},
                                                   {"D2", "D2"},
                                                   {"D3", "D3"},
                                                   {"D4", "D4"},
                                                   {"Pulse", "Имп."},
                                                   {"AWG", "ПФ"}}};
inline constexpr TextPair kInversion{"Inversion", "Инверсия"};
inline constexpr std::array<const char*, 5> kModRanges{"10 K", "100 K", "1 M", "10 M", "100 M"};
inline constexpr const char* kModRange200M = "200M";
inline constexpr TextPair kNoiseButton{"Noise", "Шум"};
inline constexpr std::array<const char*, 2> kDeviationRanges{"10K", "100K"};
inline constexpr std::array<const char*, 2> kDeviationRangesPerDiv{"2K", "20K"};
inline constexpr TextPair kSyncPhase{"Sync Ph.", "Sync Ph."};
inline constexpr TextPair kModFreq{"Mod. Sig. Freq. = ", "Частота мод. сигнала = "};
inline constexpr TextPair kSumFreq{"Sum. Sig. Freq. = ", "Частота сум. сигнала = "};
inline constexpr std::array<TextPair, 4> kModParam{{{"K AM = ", "Коэффициент АМ = "},
                                                    {"Dev. FM = ", "Девиация ЧМ = "},
                                                    {"Index. PM (x90 Grad.) = ", "Индекс ФМ (x90 Град.) = "},
                                                    {"Sum. Level = ", "Уровень сум. сигнала = "}}};
inline constexpr const char* kPercentPlain = "%";
inline constexpr const char* kPercentPerDiv = "% / Div";
inline constexpr TextPair kPerDiv{" / Div", " / Дел"};
inline constexpr TextPair kAdvancedGroup{"Advanced Settings", "Дополнительные настройки"};
inline constexpr TextPair kAuxOutput{"Aux Output", "Дополнительный выход"};
inline constexpr std::array<const char*, 7> kAuxItems{"LOG 0",    "LOG 1", "TRIG. OUT", "PULSE GEN.",
                                                      "AWG GEN.", "NOISE", "200 MHz"};
inline constexpr TextPair kAuxInv{"Inv.", "Инверсия"};
inline constexpr TextPair kTimeMatching{"Time Matching ", "Сопряжение с каналами "};
inline constexpr TextPair kExternalLoad{"External Load ", "Внешняя нагрузка "};
inline constexpr const char* kLoadInfinite = "R = inf";
inline constexpr const char* kLoadR = "R = ";
inline constexpr TextPair k50Ohm{"50 Ohm", "50 Ом"};
inline constexpr TextPair kSinxCorrection{"Sin(x)/x Correction", "Sin(x)/x коррекция"};
inline constexpr TextPair kDacCorrection{"DAC Correction", "Коррекция ЦАП"};
inline constexpr TextPair kUpTo200{"Up to 200 MHz", "До 200 МГц"};
inline constexpr TextPair kTest{"Test", "Отладочный"};
inline constexpr TextPair kOk{"OK", "OK"};
inline constexpr TextPair kCancel{"Cancel", "Отмена"};

} // namespace kx::generator::gentext

namespace kx::generator {

// Modulation parameter with its unit, as the dialog's parameter label and the panel's Label_Mod
// show it: depth, deviation, index or sum level, per division for the A1 and A2 sources.
std::string modParamValueText(const core::GeneratorState& g, bool russian, char decimalSeparator = '.');

// Internal modulation frequency for the labels ("Noise" for the noise shape is the caller's).
std::string modFrequencyText(const core::GeneratorState& g, bool debugMode, char decimalSeparator = '.');

// A level in mV as volts, the way the panel shows amplitudes.
std::string levelText(double milliVolts, char decimalSeparator = '.');

} // namespace kx::generator
