// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"
#include "core/state/FftState.h"

#include <array>
#include <cstdint>
#include <span>

// The rules of the FFT settings dialog, without widgets: what each control stores, what it
// asks for afterwards, what Cancel restores, and the dialog's texts.
namespace kx::display {

enum class FftControl {
    Size,      // 0..5 = 1024 .. 32768 points, 6 = "Auto"
    Window,    // 0..8
    Scale,     // 0..3
    Db15,      // "15 dB/Div"
    DbvToVolt, // "dBV -> Volt"
    Averaging, // "Averaging" on/off
    Depth,     // 0..6 = "2" .. "64", "Inf"
    Zoom,      // 0..8
    ViewSignal,
    CalcBoth,
};

// What the dialog runs after a control changed.
struct FftControlEffect {
    bool changed = false;             // the value was new: a refresh notification
    bool restartAndRecompute = false; // size, window or averaging: both spectra start again
};

FftControlEffect applyFftControl(core::FftState& fft, FftControl control, int value);
int fftControlValue(const core::FftState& fft, FftControl control);

// Cancel restores the ten settings of the dialog (not the FFT channel items); true when size,
// window or averaging differ from what was restored, so the spectra must start again.
bool restoreFftSettings(const core::FftState& opened, core::FftState& fft);

// "Calc. Both Ch." exists only on models with a generator or an A2 input (bits 0 and 1).
bool calcBothAvailable(std::int32_t deviceType);

namespace fftdialog {
inline constexpr core::TextPair kTitle{"FFT Settings", "Установки БПФ"};
inline constexpr core::TextPair kSize{"Points", "Размер"};
inline constexpr core::TextPair kWindow{"Window", "Весовое окно"};
inline constexpr core::TextPair kScale{"Scale", "По вертикали"};
inline constexpr core::TextPair kZoom{"Zoom", "Растяжка"};
inline constexpr core::TextPair kDb15{"15 dB/Div", "15 дБ/Дел"};
inline constexpr core::TextPair kDbvToVolt{"dBV -> Volt", "дБВ -> Вольты"};
inline constexpr core::TextPair kAveraging{"Averaging", "Усреднение"};
inline constexpr core::TextPair kViewSignal{"View Signal", "Отображ. сигнал"};
inline constexpr core::TextPair kCalcBoth{"Calc. Both Ch.", "Просч. двух каналов"};
inline constexpr core::TextPair kOk{"OK", "OK"};
inline constexpr core::TextPair kCancel{"Cancel", "Отмена"};

inline constexpr std::array<core::TextPair, 7> kSizeItems{{{"1024", "1024"},
                                                           {"2048", "2048"},
                                                           {"4096", "4096"},
                                                           {"8192", "8192"},
                                                           {"16384", "16384"},
                                                           {"32768", "32768"},
                                                           {"Auto", "Авто"}}};
inline constexpr std::array<core::TextPair, 9> kWindowItems{
    {{"Rectangular", "Прямоугольное"},
     {"Hann", "Ханна"},
     {"Flat top", "Плоское"},
     {"Hamming", "Хемминга"},
     {"Blackman", "Блэкмана"},
     {"Blackman\u2013Harris", "Блэкмана \u2014 Харриса"},
     {"Nuttall", "Наталла"},
     {"Blackman\u2013Nuttall", "Блэкмана \u2014 Наталла"},
     {"Triangular", "Треугольное"}}};
inline constexpr std::array<core::TextPair, 4> kScaleItems{{{"dBV", "дБВ"},
                                                            {"dBm (50 Ohm)", "дБм (50 Ом)"},
                                                            {"dBm (75 Ohm)", "дБм (75 Ом)"},
                                                            {"dBm (600 Ohm)", "дБм (600 Ом)"}}};
inline constexpr std::array<core::TextPair, 7> kDepthItems{
    {{"2", "2"}, {"4", "4"}, {"8", "8"}, {"16", "16"}, {"32", "32"}, {"64", "64"}, {"Inf", "Беск."}}};
inline constexpr std::array<core::TextPair, 9> kZoomItems{{{"None", "Нет"},
                                                           {"2x", "2x"},
                                                           {"5x", "5x"},
                                                           {"10x", "10x"},
                                                           {"20x", "20x"},
                                                           {"50x", "50x"},
                                                           {"100x", "100x"},
                                                           {"200x", "200x"},
                                                           {"500x", "500x"}}};
} // namespace fftdialog

} // namespace kx::display
