// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuTexts.h"

#include "core/Text.h"
#include "ui/MenuTree.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kx::ui {
namespace {

struct Caption {
    std::string_view name;
    core::TextPair text;
};

// Items whose caption is the same in both languages.
constexpr core::TextPair same(const char* s) {
    return {s, s};
}

constexpr Caption kMenuCaptions[] = {
    {"Menu_File", {"File", "Файл"}},
    {"Menu_Open", {"Open...", "Открыть..."}},
    {"Menu_Open_Settings", {"Open Settings...", "Открыть настройки..."}},
    {"Menu_Open_Gen_Form", {"Open AWG File...", "Открыть файл генератора ПФ..."}},
    {"Menu_Save_As", {"Save...", "Сохранить..."}},
    {"Menu_Save_Settings_As", {"Save Settings...", "Сохранить настройки..."}},
    {"Menu_Export", {"Export", "Экспорт"}},
    {"Menu_Image", {"Image...", "Изображение..."}},
    {"Menu_Text", {"Text...", "Текст..."}},
    {"Menu_Row_Binary", {"Row Binary", "Двоичный"}},
    {"Menu_EBin_A1", {"A1...", "Канал A1..."}},
    {"Menu_EBin_A2", {"A2...", "Канал A2..."}},
    {"Menu_EBin_D1", {"D1...", "Канал D1..."}},
    {"Menu_EBin_D2", {"D2...", "Канал D2..."}},
    {"Menu_EBin_D3", {"D3...", "Канал D3..."}},
    {"Menu_EBin_D4", {"D4...", "Канал D4..."}},
    {"Menu_Export_CSV", same("CSV...")},
    {"Menu_Export_S1P", same("Touchstone (*.s1p)...")},
    {"Menu_Export_VCD", same("VCD...")},
    {"Menu_Export_SR", {"sigrok Session (*.sr)...", "Сеанс sigrok (*.sr)..."}},
    {"Menu_Recorder", {"Binary Recorder (A1)...", "Двоичный самописец (канал A1)..."}},
    {"Menu_Device", {"Device", "Устройство"}},
    {"Menu_4820", same("KX4820")},
    {"Menu_4821", same("KX4821")},
    {"Menu_4822", same("KX4822")},
    {"Menu_4823", same("KX4823")},
    {"Menu_TRM207", same("TRM207")},
    {"Menu_TRM207_M", same("TRM207 Mini")},
    {"Menu_Max_WPS", {"WPS (max)", "Осциллограмм в секунду (макс.)"}},
    {"Menu_WPS_8", same("8")},
    {"Menu_WPS_15", same("15")},
    {"Menu_WPS_24", same("24")},
    {"Menu_WPS_40", same("40")},
    {"Menu_WPS_NO_LIM", {"No Limit", "Без ограничения"}},
    {"Menu_Low_V_Div", {"Enable 0.5..2 mV/Div", "Чувствительность 0.5..2 мВ/Дел"}},
    {"Menu_Debug", {"Debug Mode", "Режим отладки"}},
    {"Menu_USB_Stat", {"USB Debug Data", "Отладочные данные USB"}},
    {"Menu_ETS_Stat", {"ETS Debug Data", "Отладочные данные ETS"}},
    {"Menu_SystemCalibration", {"System Calibration...", "Системная калибровка..."}},
    {"Menu_Exit", {"Exit", "Выход"}},

    {"Menu_Options", {"Options", "Настройки"}},
    {"Menu_Trigger", {"Trigger...", "Синхронизация..."}},
    {"Menu_FFTSet", {"FFT...", "БПФ..."}},
    {"Menu_GeneratorSet", {"Generator...", "Генератор..."}},
    {"Menu_ASet", {"Advanced Settings...", "Дополнительные настройки..."}},
    {"Menu_Probe_A1", {"Probe A1", "Щуп канала A1"}},
    {"Menu_A1_x1", same("x1")},
    {"Menu_A1_x10", same("x10")},
    {"Menu_A1_x20", same("x20")},
    {"Menu_A1_x100", same("x100")},
    {"Menu_Probe_A2", {"Probe A2", "Щуп канала A2"}},
    {"Menu_A2_x1", same("x1")},
    {"Menu_A2_x10", same("x10")},
    {"Menu_A2_x20", same("x20")},
    {"Menu_A2_x100", same("x100")},
    {"Menu_Sampling", {"Sampling", "Выборки"}},
    {"Menu_SmplPeakDet", {"Peak Detect", "Пиковый детектор"}},
    {"Menu_Smpl_Hi_Res", {"Average (Hi Res)", "Усреднение (высокое разрешение)"}},
    {"Menu_Smpl_2000", same("2000")},
    {"Menu_Smpl_5000", same("5000")},
    {"Menu_Smpl_10000", same("10000")},
    {"Menu_Smpl_20000", same("20000")},
    {"Menu_Smpl_Max", same("40000 (1xA + 2xD)")},
    {"Menu_FreqMeter", {"Freq. Meter", "Частотомер"}},
    {"Menu_FM_Off", {"Off", "Выкл."}},
    {"Menu_FM_Freq", {"Frequency", "Частота"}},
    {"Menu_FM_Period", {"Period && Counter", "Период && счётчик"}},
    {"Menu_FM_RST", {"Counter Reset", "Сброс счётчика"}},
    {"Menu_FM_A1", {"A1", "Канал A1"}},
    {"Menu_FM_A2", {"A2", "Канал A2"}},
    {"Menu_FM_D1", {"D1", "Канал D1"}},
    {"Menu_FM_D2", {"D2", "Канал D2"}},
    {"Menu_FM_D3", {"D3", "Канал D3"}},
    {"Menu_FM_D4", {"D4", "Канал D4"}},
    {"Menu_FM_TRIG", {"Trig. Condition", "Условие синхронизации"}},
    {"Menu_Freq_Calibration", {"System Freq. Calibration...", "Калибровка системной частоты..."}},
    {"Menu_ZeroCalibration", {"Zero Calibration...", "Калибровка нуля..."}},
    {"Menu_Colors", {"Colors...", "Цвета..."}},
    // The way back to a language one cannot read stays readable.
    {"Menu_Language", {"Language", nullptr}},
    {"Menu_Russian", {"Russian", "Русский"}},
    {"Menu_English", same("English")},

    {"Menu_View", {"View", "Вид"}},
    {"Menu_CH_A1", {"A1", "Канал A1"}},
    {"Menu_CH_D1", {"D1", "Канал D1"}},
    {"Menu_CH_D2", {"D2", "Канал D2"}},
    {"Menu_CH_D3", {"D3", "Канал D3"}},
    {"Menu_CH_D4", {"D4", "Канал D4"}},
    {"Menu_CH_GEN", {"A2 <- Generator", "Канал A2 <- Генератор"}},
    {"Menu_View_Options", {"View", "Вид"}},
    {"Menu_Measure", {"Measure", "Измерения"}},
    {"Menu_Grid", {"Grid", "Сетка"}},
    {"Menu_TrigPosL", {"Trig. Position", "Позиция синхронизации"}},
    {"Menu_Smpl_Info", {"Sampling Info", "Информация о выборке"}},
    {"Menu_Extra_Info", {"Extra Info", "Доп. информация"}},
    {"Menu_Trig_T", {"Trig. Event Time", "Время события синхронизации"}},
    {"Menu_Distortion", {"Distortion", "Искажения"}},
    {"Menu_Markers_1", {"Cursors", "Курсоры"}},
    {"Menu_Markers_2", {"Double Cursors", "Двойные курсоры"}},
    {"Menu_BG_View", {"B.G. Oscillogram", "Фоновая осциллограмма"}},
    {"Menu_BG_Do", {"Main <-> B.G. Oscillogram", "Основная <-> фоновая осциллограмма"}},
    {"Menu_BG_Clr", {"Clear B.G. Oscillogram", "Очистить фоновую осциллограмму"}},
    {"Menu_DrawMode", {"Draw Mode", "Отображение"}},
    {"Menu_Persistence", {"Persistence", "Послесвечение"}},
    {"Menu_Lenta", {"Scroll (0.1 .. 1000 S/Div)", "Прокрутка (0.1 .. 1000 с/Дел)"}},
    {"Menu_Dots", {"Dots", "Точки"}},
    {"Menu_Vectors", {"Vectors", "Векторы"}},
    {"Menu_Sinxx", same("Sin(x)/x")},
    {"Menu_FFT_A1", {"FFT A1", "БПФ канала A1"}},
    {"Menu_FFT_A2", {"FFT A2", "БПФ канала A2"}},
    {"Menu_Gen_View", {"Generator", "Генератор"}},
    {"Menu_Compact", {"Compact View", "Компактный вид"}},
    {"Menu_On_Top", {"Always On Top", "Поверх всех окон"}},

    {"Menu_Tools", {"Tools", "Инструменты"}},
    {"Menu_SerialDecoders", {"Serial Decoders...", "Декодер протоколов..."}},
    {"Menu_LCMeter", {"LC Meter...", "Измеритель LC..."}},
    {"Menu_NA", {"Network Analyzer", "Анализатор цепей"}},
    {"Menu_NA_Settings", {"NA Settings", "Настройки АЦ"}},
    {"Menu_NA_Amp_Range", {"Amplitude Range", "Диапазон амплитуды"}},
    {"Menu_NA_Amp_Range0", {"Linear", "Линейный"}},
    {"Menu_NA_Amp_Range1", {"1 dB/Div", "1 дБ/Дел"}},
    {"Menu_NA_Amp_Range2", {"2 dB/Div", "2 дБ/Дел"}},
    {"Menu_NA_Amp_Range3", {"5 dB/Div", "5 дБ/Дел"}},
    {"Menu_NA_Amp_Range4", {"10 dB/Div", "10 дБ/Дел"}},
    {"Menu_NA_Amp_Range5", {"15 dB/Div", "15 дБ/Дел"}},
    {"Menu_NA_Ampl", same("Amplitude")},
    {"Menu_NA_Phase", {"Phase", "Фаза"}},
    {"Menu_NA_Clbr", {"Calibration...", "Калибровка..."}},
    {"Menu_AA", {"Antenna Analyzer", "Антенный анализатор"}},
    {"Menu_AA_Settings", {"AA Settings", "Настройки АА"}},
    {"Menu_AA_Zo", same("Zo")},
    {"Menu_AA_R25", {"25 Ohm", "25 Ом"}},
    {"Menu_AA_R50", {"50 Ohm", "50 Ом"}},
    {"Menu_AA_R75", {"75 Ohm", "75 Ом"}},
    {"Menu_AA_R100", {"100 Ohm", "100 Ом"}},
    {"Menu_AA_SWR_Range", {"SWR Range", "Диапазон КСВ"}},
    {"Menu_AA_SWR_Range0", same("1..1.08")},
    {"Menu_AA_SWR_Range1", same("1..3")},
    {"Menu_AA_SWR_Range2", same("1..9")},
    {"Menu_AA_SWR_Range3", same("1..25")},
    {"Menu_AA_SWR_Range4", same("1..81")},
    {"Menu_AA_Imp_Range", {"Impedance Range", "Диапазон импеданса"}},
    {"Menu_AA_Imp_Range0", {"80 mOhm", "80 мОм"}},
    {"Menu_AA_Imp_Range1", {"0.24 Ohm", "0.24 Ом"}},
    {"Menu_AA_Imp_Range2", {"0.8 Ohm", "0.8 Ом"}},
    {"Menu_AA_Imp_Range3", {"2.4 Ohm", "2.4 Ом"}},
    {"Menu_AA_Imp_Range4", {"8 Ohm", "8 Ом"}},
    {"Menu_AA_Imp_Range5", {"24 Ohm", "24 Ом"}},
    {"Menu_AA_Imp_Range6", {"80 Ohm", "80 Ом"}},
    {"Menu_AA_Imp_Range7", {"240 Ohm", "240 Ом"}},
    {"Menu_AA_Imp_Range8", {"800 Ohm", "800 Ом"}},
    {"Menu_AA_Imp_Range9", {"2.4 KOhm", "2.4 кОм"}},
    {"Menu_AA_Imp_Range10", {"8 KOhm", "8 кОм"}},
    {"Menu_AA_Q_Range", {"Q Range", "Диапазон добротности"}},
    {"Menu_AA_Q_Range0", same("0..80")},
    {"Menu_AA_Q_Range1", same("0..240")},
    {"Menu_AA_Q_Range2", same("0..800")},
    {"Menu_AA_G1", same("Graph 1")},
    {"Menu_AA_G1_Off", {"Off", "Выкл."}},
    {"Menu_AA_G1_SWR", {"SWR", "КСВ"}},
    {"Menu_AA_G1_RL", same("Return Loss")},
    {"Menu_AA_G1_Q", {"Q", "Добротность"}},
    {"Menu_AA_G2", same("Graph 2")},
    {"Menu_AA_G2_Off", {"Off", "Выкл."}},
    {"Menu_AA_G2_Rs", same("Rs")},
    {"Menu_AA_G2_Xs", same("Xs")},
    {"Menu_AA_G2_Z", same("|Z|")},
    {"Menu_AA_G2_Ph", {"Phase Z", "Фаза Z"}},
    {"Menu_AA_G2_Rp", same("Rp")},
    {"Menu_AA_G2_Xp", same("Xp")},
    {"Menu_AA_G3", same("Graph 3")},
    {"Menu_AA_G3_Off", {"Off", "Выкл."}},
    {"Menu_AA_G3_Rs", same("Rs")},
    {"Menu_AA_G3_Xs", same("Xs")},
    {"Menu_AA_G3_Z", same("|Z|")},
    {"Menu_AA_G3_Ph", {"Phase Z", "Фаза Z"}},
    {"Menu_AA_G3_Rp", same("Rp")},
    {"Menu_AA_G3_Xp", same("Xp")},
    {"Menu_AA_Smith", {"Smith Chart", "Диаграмма Смита"}},
    {"Menu_AA_Clbr", {"OSL Calibration...", "Калибровка OSL..."}},
    {"Menu_IQ_Zoom", {"NA, AA Zoom", "Растяжка АЦ, АА"}},
    {"Menu_IQ_Zoom_1", same("1:1")},
    {"Menu_IQ_Zoom_2", same("1:2")},
    {"Menu_IQ_Zoom_5", same("1:5")},
    {"Menu_IQ_Zoom_10", same("1:10")},
    {"Menu_IQ_Zoom_20", same("1:20")},

    {"Menu_Help", {"Help", "Справка"}},
    {"Menu_Help_Contents", {"Contents", "Вызов справки"}},
    {"Menu_About", {"About...", "О программе..."}},
};

constexpr core::TextPair kChA2WithInput{"A2", "Канал A2"};
constexpr core::TextPair kChA2FromGenerator{"A2 (Generator)", "Канал A2 (генератор)"};

constexpr Caption kControlCaptions[] = {
    {"Label_TimeDiv", {"Time/Div", "Время/Дел"}}, {"SpeedButton_Trig", {"Trigger", "Синхр."}},
    {"SpeedButton_Trig_On", {"ON", "Вкл."}},      {"SpeedButton_Run", {"RUN", "Пуск"}},
    {"SpeedButton_Sngl", {"SINGLE", "Однокр."}},  {"SpeedButton_Auto", {"Auto", "Авт."}},
    {"SpeedButton_GenOn", {"ON", "Вкл."}},        {"SpeedButton_AWG_Run", {"RUN", "Пуск"}},
    {"SpeedButton_Mod", {"Mod.", "Мод."}},        {"SpeedButton_Pulse", {"Pulse", "Имп."}},
    {"SpeedButton_Sweep", {"Swp.", "ГКЧ"}},       {"SpeedButton_AWG", {"AWG", "ПФ"}},
};

// The captioned controls are the names of the caption table, in its order.
constexpr auto kControls = [] {
    std::array<std::string_view, std::size(kControlCaptions)> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = kControlCaptions[i].name;
    return names;
}();

template <std::size_t N> const core::TextPair* find(const Caption (&table)[N], std::string_view name) {
    const auto* it =
        std::find_if(std::begin(table), std::end(table), [&](const Caption& c) { return c.name == name; });
    return it == std::end(table) ? nullptr : &it->text;
}

} // namespace

const char* menuCaption(std::string_view name, bool russian, bool modelHasA2) {
    if (name == "Menu_CH_A2") return (modelHasA2 ? kChA2WithInput : kChA2FromGenerator).pick(russian);
    const core::TextPair* t = find(kMenuCaptions, name);
    return t ? t->pick(russian) : nullptr;
}

std::span<const std::string_view> captionedControls() {
    return kControls;
}

const char* controlCaption(std::string_view name, bool russian) {
    const core::TextPair* t = find(kControlCaptions, name);
    return t ? t->pick(russian) : nullptr;
}

std::string aaGraphCaption(int graph, int choice, bool russian) {
    constexpr std::array<std::string_view, 3> kGroups{"AaG1", "AaG2", "AaG3"};
    if (graph < 1 || graph > 3) return {};
    std::string text = "Graph " + std::to_string(graph);
    const std::string_view item = radioName(kGroups[static_cast<std::size_t>(graph - 1)], choice);
    if (const char* selection = item.empty() ? nullptr : menuCaption(item, russian, true)) {
        text += " - ";
        text += selection;
    }
    return text;
}

} // namespace kx::ui
