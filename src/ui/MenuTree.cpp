// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuTree.h"

#include <array>

namespace kx::ui {
namespace {

constexpr MenuEntry menu(std::string_view name) {
    return {MenuKind::Menu, name, {}, false, {}};
}
constexpr MenuEntry end() {
    return {MenuKind::End, {}, {}, false, {}};
}
constexpr MenuEntry act(std::string_view name, std::string_view shortcut = {}) {
    return {MenuKind::Action, name, {}, false, shortcut};
}
constexpr MenuEntry check(std::string_view name, bool checked = false, std::string_view shortcut = {}) {
    return {MenuKind::Check, name, {}, checked, shortcut};
}
// Two checks of which at most one is on (cursors, FFT channel).
constexpr MenuEntry pair(std::string_view group, std::string_view name, bool checked = false) {
    return {MenuKind::Check, name, group, checked, {}};
}
constexpr MenuEntry radio(std::string_view group, std::string_view name, bool checked = false) {
    return {MenuKind::Radio, name, group, checked, {}};
}
constexpr MenuEntry sep(std::string_view name = {}) {
    return {MenuKind::Separator, name, {}, false, {}};
}

constexpr auto kTree = std::to_array<MenuEntry>({
    menu("Menu_File"),
    act("Menu_Open"),
    act("Menu_Open_Settings"),
    act("Menu_Open_Gen_Form"),
    sep(),
    act("Menu_Save_As"),
    act("Menu_Save_Settings_As"),
    sep(),
    menu("Menu_Export"),
    act("Menu_Image"),
    act("Menu_Text"),
    menu("Menu_Row_Binary"),
    act("Menu_EBin_A1"),
    act("Menu_EBin_A2"),
    act("Menu_EBin_D1"),
    act("Menu_EBin_D2"),
    act("Menu_EBin_D3"),
    act("Menu_EBin_D4"),
    end(),
    act("Menu_Export_CSV"),
    act("Menu_Export_S1P"),
    act("Menu_Export_VCD"),
    act("Menu_Export_SR"),
    end(),
    act("Menu_Recorder"),
    sep(),
    menu("Menu_Device"),
    radio("Device", "Menu_4820"),
    radio("Device", "Menu_4821"),
    radio("Device", "Menu_4822"),
    radio("Device", "Menu_4823", true),
    sep("Menu_Sep_TRM"),
    radio("Device", "Menu_TRM207"),
    radio("Device", "Menu_TRM207_M"),
    end(),
    menu("Menu_Max_WPS"),
    radio("WPS", "Menu_WPS_8"),
    radio("WPS", "Menu_WPS_15"),
    radio("WPS", "Menu_WPS_24"),
    radio("WPS", "Menu_WPS_40", true),
    radio("WPS", "Menu_WPS_NO_LIM"),
    end(),
    check("Menu_Low_V_Div"),
    sep("Menu_Sep_Debug"),
    check("Menu_Debug"),
    check("Menu_USB_Stat"),
    check("Menu_ETS_Stat"),
    act("Menu_SystemCalibration"),
    sep(),
    act("Menu_Exit"),
    end(),

    menu("Menu_Options"),
    act("Menu_Trigger"),
    act("Menu_FFTSet"),
    act("Menu_GeneratorSet"),
    act("Menu_ASet"),
    sep(),
    menu("Menu_Probe_A1"),
    radio("ProbeA1", "Menu_A1_x1", true),
    radio("ProbeA1", "Menu_A1_x10"),
    radio("ProbeA1", "Menu_A1_x20"),
    radio("ProbeA1", "Menu_A1_x100"),
    end(),
    menu("Menu_Probe_A2"),
    radio("ProbeA2", "Menu_A2_x1", true),
    radio("ProbeA2", "Menu_A2_x10"),
    radio("ProbeA2", "Menu_A2_x20"),
    radio("ProbeA2", "Menu_A2_x100"),
    end(),
    sep(),
    menu("Menu_Sampling"),
    check("Menu_SmplPeakDet"),
    check("Menu_Smpl_Hi_Res"),
    sep(),
    radio("Points", "Menu_Smpl_2000"),
    radio("Points", "Menu_Smpl_5000", true),
    radio("Points", "Menu_Smpl_10000"),
    radio("Points", "Menu_Smpl_20000"),
    radio("Points", "Menu_Smpl_Max"),
    end(),
    menu("Menu_FreqMeter"),
    radio("FmMode", "Menu_FM_Off"),
    radio("FmMode", "Menu_FM_Freq", true),
    radio("FmMode", "Menu_FM_Period"),
    sep(),
    act("Menu_FM_RST"),
    sep(),
    radio("FmSource", "Menu_FM_A1", true),
    radio("FmSource", "Menu_FM_A2"),
    radio("FmSource", "Menu_FM_D1"),
    radio("FmSource", "Menu_FM_D2"),
    radio("FmSource", "Menu_FM_D3"),
    radio("FmSource", "Menu_FM_D4"),
    radio("FmSource", "Menu_FM_TRIG"),
    end(),
    sep(),
    act("Menu_Freq_Calibration"),
    act("Menu_ZeroCalibration"),
    sep(),
    act("Menu_Colors"),
    menu("Menu_Language"),
    radio("Language", "Menu_Russian", true),
    radio("Language", "Menu_English"),
    end(),
    end(),

    menu("Menu_View"),
    check("Menu_CH_A1", true),
    check("Menu_CH_A2"),
    check("Menu_CH_D1", true),
    check("Menu_CH_D2", true),
    check("Menu_CH_D3", true),
    check("Menu_CH_D4", true),
    sep(),
    check("Menu_CH_GEN"),
    sep("Menu_Sep_CH_GEN"),
    menu("Menu_View_Options"),
    check("Menu_Measure", true, "Ctrl+M"),
    check("Menu_Grid", true),
    check("Menu_TrigPosL", true),
    check("Menu_Smpl_Info"),
    check("Menu_Extra_Info"),
    check("Menu_Trig_T", false, "Ctrl+E"),
    check("Menu_Distortion"),
    end(),
    sep(),
    pair("Cursors", "Menu_Markers_1", true),
    pair("Cursors", "Menu_Markers_2"),
    sep(),
    check("Menu_BG_View"),
    act("Menu_BG_Do", "Ctrl+B"),
    act("Menu_BG_Clr"),
    sep(),
    menu("Menu_DrawMode"),
    check("Menu_Persistence", false, "Ctrl+H"),
    check("Menu_Lenta"),
    sep(),
    radio("Draw", "Menu_Dots"),
    radio("Draw", "Menu_Vectors"),
    radio("Draw", "Menu_Sinxx", true),
    end(),
    sep(),
    pair("Fft", "Menu_FFT_A1"),
    pair("Fft", "Menu_FFT_A2"),
    sep(),
    check("Menu_Gen_View", true),
    check("Menu_Compact", false, "Ctrl+C"),
    check("Menu_On_Top"),
    end(),

    menu("Menu_Tools"),
    act("Menu_SerialDecoders"),
    sep("Menu_Sep_LCMeter"),
    act("Menu_LCMeter"),
    sep("Menu_Sep_NA"),
    check("Menu_NA"),
    menu("Menu_NA_Settings"),
    menu("Menu_NA_Amp_Range"),
    radio("NaRange", "Menu_NA_Amp_Range0"),
    sep(),
    radio("NaRange", "Menu_NA_Amp_Range1"),
    radio("NaRange", "Menu_NA_Amp_Range2"),
    radio("NaRange", "Menu_NA_Amp_Range3"),
    radio("NaRange", "Menu_NA_Amp_Range4", true),
    radio("NaRange", "Menu_NA_Amp_Range5"),
    end(),
    check("Menu_NA_Ampl", true),
    check("Menu_NA_Phase"),
    act("Menu_NA_Clbr"),
    end(),
    sep("Menu_Sep_AA"),
    check("Menu_AA"),
    menu("Menu_AA_Settings"),
    menu("Menu_AA_Zo"),
    radio("AaZo", "Menu_AA_R25"),
    radio("AaZo", "Menu_AA_R50", true),
    radio("AaZo", "Menu_AA_R75"),
    radio("AaZo", "Menu_AA_R100"),
    end(),
    menu("Menu_AA_SWR_Range"),
    radio("AaSwr", "Menu_AA_SWR_Range0"),
    radio("AaSwr", "Menu_AA_SWR_Range1"),
    radio("AaSwr", "Menu_AA_SWR_Range2", true),
    radio("AaSwr", "Menu_AA_SWR_Range3"),
    radio("AaSwr", "Menu_AA_SWR_Range4"),
    end(),
    menu("Menu_AA_Imp_Range"),
    radio("AaImp", "Menu_AA_Imp_Range0"),
    radio("AaImp", "Menu_AA_Imp_Range1"),
    radio("AaImp", "Menu_AA_Imp_Range2"),
    radio("AaImp", "Menu_AA_Imp_Range3"),
    radio("AaImp", "Menu_AA_Imp_Range4"),
    radio("AaImp", "Menu_AA_Imp_Range5"),
    radio("AaImp", "Menu_AA_Imp_Range6", true),
    radio("AaImp", "Menu_AA_Imp_Range7"),
    radio("AaImp", "Menu_AA_Imp_Range8"),
    radio("AaImp", "Menu_AA_Imp_Range9"),
    radio("AaImp", "Menu_AA_Imp_Range10"),
    end(),
    menu("Menu_AA_Q_Range"),
    radio("AaQ", "Menu_AA_Q_Range0", true),
    radio("AaQ", "Menu_AA_Q_Range1"),
    radio("AaQ", "Menu_AA_Q_Range2"),
    end(),
    menu("Menu_AA_G1"),
    radio("AaG1", "Menu_AA_G1_Off"),
    sep(),
    radio("AaG1", "Menu_AA_G1_SWR", true),
    radio("AaG1", "Menu_AA_G1_RL"),
    radio("AaG1", "Menu_AA_G1_Q"),
    end(),
    menu("Menu_AA_G2"),
    radio("AaG2", "Menu_AA_G2_Off"),
    sep(),
    radio("AaG2", "Menu_AA_G2_Rs", true),
    radio("AaG2", "Menu_AA_G2_Xs"),
    radio("AaG2", "Menu_AA_G2_Z"),
    radio("AaG2", "Menu_AA_G2_Ph"),
    radio("AaG2", "Menu_AA_G2_Rp"),
    radio("AaG2", "Menu_AA_G2_Xp"),
    end(),
    menu("Menu_AA_G3"),
    radio("AaG3", "Menu_AA_G3_Off"),
    sep(),
    radio("AaG3", "Menu_AA_G3_Rs"),
    radio("AaG3", "Menu_AA_G3_Xs", true),
    radio("AaG3", "Menu_AA_G3_Z"),
    radio("AaG3", "Menu_AA_G3_Ph"),
    radio("AaG3", "Menu_AA_G3_Rp"),
    radio("AaG3", "Menu_AA_G3_Xp"),
    end(),
    check("Menu_AA_Smith"),
    act("Menu_AA_Clbr"),
    end(),
    sep("Menu_Sep_IQ_Zoom"),
    menu("Menu_IQ_Zoom"),
    radio("IqZoom", "Menu_IQ_Zoom_1", true),
    radio("IqZoom", "Menu_IQ_Zoom_2"),
    radio("IqZoom", "Menu_IQ_Zoom_5"),
    radio("IqZoom", "Menu_IQ_Zoom_10"),
    radio("IqZoom", "Menu_IQ_Zoom_20"),
    end(),
    end(),

    menu("Menu_Help"),
    act("Menu_Help_Contents"),
    sep(),
    act("Menu_About"),
    end(),
});

} // namespace

std::span<const MenuEntry> menuTree() {
    return kTree;
}

const MenuEntry* findMenuEntry(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const auto& e : kTree)
        if (e.name == name) return &e;
    return nullptr;
}

int radioIndex(std::string_view name) {
    const MenuEntry* item = findMenuEntry(name);
    if (!item || item->kind != MenuKind::Radio) return -1;
    int index = 0;
    for (const auto& e : kTree) {
        if (&e == item) return index;
        if (e.kind == MenuKind::Radio && e.group == item->group) ++index;
    }
    return -1;
}

std::string_view radioName(std::string_view group, int index) {
    if (index < 0) return {};
    for (const auto& e : kTree)
        if (e.kind == MenuKind::Radio && e.group == group && index-- == 0) return e.name;
    return {};
}

} // namespace kx::ui
