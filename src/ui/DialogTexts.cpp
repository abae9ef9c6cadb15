// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogTexts.h"

namespace kx::ui {
namespace {

constexpr ControlText kColorTexts[] = {
    {"window", {"Color Settings", "Установки цветов"}},
    {"Button_clBackground", {"Background", "Фон сетки"}},
    {"Button_clBorder", {"Border", "Фон полей"}},
    {"Button_clMarkers", {"Markers", "Маркеры"}},
    {"Button_clGrid", {"Grid", "Сетка"}},
    {"Button_clGrid_Frame", {"Grid frame", "Рамка сетки"}},
    {"Button_clTrig_Pos", {"Trig. position", "Линия синхр."}},
    {"Button_clFFT", {"FFT, Xp", "БПФ, Xp"}},
    {"Button_Extra_Info", {"Extra info", "Доп. информ."}},
    {"Button_Cancel", {"Cancel", "Отмена"}},
    {"Button_clDefault", {"Default", "По умолч."}},
};

constexpr ControlText kAdvancedTexts[] = {
    {"window", {"Advanced Settings", "Дополнительные настройки"}},
    {"Label_AD_Match_",
     {"Digital to Analog Chanels Time Matching", "Сопряжение цифровых и аналоговых каналов по времени"}},
    {"Label_Reflectometer", {"Reflectometer Velocity Factor %", "Коэффициент замедления линии %"}},
    {"CheckBox_Refl_Cursors", {"Reflectometer Cursors", "Маркерные измерения для рефлектометра"}},
    {"CheckBox_Analog_BW_Flt", {"Analog BW Filter", "Аналоговый фильтр BW"}},
    {"CheckBox_Digital_BW_Flt", {"Digital BW Filter", "Цифровой фильтр BW"}},
    {"CheckBox_IQ_Win_En", {"Enable IQ Win", "Оконная функция IQ"}},
    {"CheckBox_Dither_En", {"Dither Signal", "Dither сигнал"}},
    {"CheckBox_Use_ADC_0", {"Use ADC 0 (Even Decimation)", "Исп. ADC 0 (чёт. децимация)"}},
    {"Button_Cancel", {"Cancel", "Отмена"}},
    {"Button_Default", {"Default", "По умолч."}},
};

} // namespace

std::span<const ControlText> colorDialogTexts() {
    return kColorTexts;
}

std::span<const ControlText> advancedDialogTexts() {
    return kAdvancedTexts;
}

const char* dialogText(std::span<const ControlText> texts, std::string_view control, bool russian) {
    for (const ControlText& t : texts)
        if (t.control == control) return t.text.pick(russian);
    return nullptr;
}

} // namespace kx::ui
