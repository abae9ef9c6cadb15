// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuModel.h"

#include "core/DeviceModel.h"
#include "core/ScopeControls.h"
#include "ui/MenuTree.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <type_traits>

namespace kx::ui {
namespace {

using core::InstrumentState;

// Device menu items in tree order.
constexpr std::array<std::int32_t, 6> kDeviceCodes{core::kKX4820, core::kKX4821, core::kKX4822,
                                                   core::kKX4823, core::kTRM207, core::kTRM207Mini};

template <class B> struct FlagRef {
    B* flag = nullptr;
    MenuEffect effect = MenuEffect::None;
};

// The plain check items: the flag each one stands for and what a toggle runs. Works on a
// const state for reading and on a mutable one for toggling.
template <class S> auto flagOf(S& s, std::string_view name) {
    using B = std::remove_reference_t<decltype((s.display.Grid))>;
    struct Row {
        std::string_view name;
        B* flag;
        MenuEffect effect;
    };
    const Row rows[] = {
        {"Menu_Low_V_Div", &s.system.LowVoltsDiv, MenuEffect::FeaturesChanged},
        {"Menu_Debug", &s.system.DebugMode, MenuEffect::FeaturesChanged},
        {"Menu_USB_Stat", &s.display.USB_Stat, MenuEffect::Refresh},
        {"Menu_ETS_Stat", &s.display.ETS_Stat, MenuEffect::Refresh},
        {"Menu_SmplPeakDet", &s.scope.SmplPeakDet, MenuEffect::SettingsChanged},
        {"Menu_Smpl_Hi_Res", &s.scope.Smpl_Hi_Res, MenuEffect::SettingsChanged},
        {"Menu_CH_A1", &s.scope.A1.shown, MenuEffect::SettingsChanged},
        {"Menu_CH_A2", &s.scope.A2.shown, MenuEffect::SettingsChanged},
        {"Menu_CH_D1", &s.scope.CH_D1, MenuEffect::SettingsChanged},
        {"Menu_CH_D2", &s.scope.CH_D2, MenuEffect::SettingsChanged},
        {"Menu_CH_D3", &s.scope.CH_D3, MenuEffect::SettingsChanged},
        {"Menu_CH_D4", &s.scope.CH_D4, MenuEffect::SettingsChanged},
        {"Menu_CH_GEN", &s.scope.CH_GEN, MenuEffect::SettingsChanged},
        {"Menu_Measure", &s.display.Measure, MenuEffect::Refresh},
        {"Menu_Grid", &s.display.Grid, MenuEffect::Refresh},
        {"Menu_TrigPosL", &s.display.TrigPosL, MenuEffect::Refresh},
        {"Menu_Smpl_Info", &s.display.Smpl_Info, MenuEffect::Refresh},
        {"Menu_Extra_Info", &s.display.Extra_Info, MenuEffect::Refresh},
        {"Menu_Trig_T", &s.display.Trig_T, MenuEffect::Refresh},
        {"Menu_Distortion", &s.display.Distortion, MenuEffect::Refresh},
        {"Menu_BG_View", &s.display.BgShow, MenuEffect::Refresh},
        // The next frame picks persistence up by itself.
        {"Menu_Persistence", &s.display.Persistence, MenuEffect::None},
        {"Menu_Lenta", &s.scope.Lenta, MenuEffect::SettingsChanged},
        {"Menu_Gen_View", &s.display.Generator, MenuEffect::LayoutChanged},
        {"Menu_Compact", &s.display.CompactView, MenuEffect::LayoutChanged},
        {"Menu_On_Top", &s.display.On_Top, MenuEffect::Refresh},
        {"Menu_NA_Ampl", &s.analyzer.NA_Ampl, MenuEffect::Refresh},
        {"Menu_NA_Phase", &s.analyzer.NA_Phase, MenuEffect::Refresh},
        {"Menu_AA_Smith", &s.analyzer.AA_Smith, MenuEffect::Refresh},
        // The analysers run their presets in the window.
        {"Menu_NA", &s.analyzer.NA, MenuEffect::Command},
        {"Menu_AA", &s.analyzer.AA, MenuEffect::Command},
        {"Menu_FFT_A1", &s.fft.View_A1, MenuEffect::Refresh},
        {"Menu_FFT_A2", &s.fft.View_A2, MenuEffect::Refresh},
    };
    for (const Row& r : rows)
        if (r.name == name) return FlagRef<B>{r.flag, r.effect};
    return FlagRef<B>{};
}

struct RadioGroup {
    std::string_view group;
    int (*get)(const InstrumentState&);
    MenuEffect (*choose)(InstrumentState&, int);
};

MenuEffect chooseProbe(InstrumentState& s, core::AnalogInput ch, int i) {
    // The A1 probe items are disabled while the antenna analyser runs; A2 fed by the
    // generator is always read at x1.
    if (ch == core::AnalogInput::A1 && s.analyzer.AA) return MenuEffect::None;
    if (ch == core::AnalogInput::A2 && s.scope.CH_GEN && i != 0) return MenuEffect::None;
    core::setProbe(s, ch, i);
    return MenuEffect::SettingsChanged;
}

template <class T> int asIndex(T v) {
    return static_cast<int>(v);
}

const RadioGroup kRadioGroups[] = {
    {"Device",
     [](const InstrumentState& s) {
         const auto* it = std::find(kDeviceCodes.begin(), kDeviceCodes.end(), s.system.UiDeviceType);
         return it == kDeviceCodes.end() ? -1 : static_cast<int>(std::distance(kDeviceCodes.begin(), it));
     },
     [](InstrumentState& s, int i) {
         s.system.UiDeviceType = kDeviceCodes[static_cast<std::size_t>(i)];
         s.system.ModelCheckPending = false;
         return MenuEffect::ModelChanged;
     }},
    {"WPS", [](const InstrumentState& s) { return s.scope.wps; },
     [](InstrumentState& s, int i) {
         s.scope.wps = i;
         return MenuEffect::SettingsChanged;
     }},
    {"ProbeA1", [](const InstrumentState& s) { return s.scope.A1.probe; },
     [](InstrumentState& s, int i) { return chooseProbe(s, core::AnalogInput::A1, i); }},
    {"ProbeA2", [](const InstrumentState& s) { return s.scope.A2.probe; },
     [](InstrumentState& s, int i) { return chooseProbe(s, core::AnalogInput::A2, i); }},
    {"Points", [](const InstrumentState& s) { return s.scope.points; },
     [](InstrumentState& s, int i) {
         s.scope.points = i;
         return MenuEffect::SettingsChanged;
     }},
    {"FmMode", [](const InstrumentState& s) { return asIndex(s.scope.fmMode); },
     [](InstrumentState& s, int i) {
         s.scope.fmMode = static_cast<core::FreqMeterMode>(i);
         return MenuEffect::SettingsChanged;
     }},
    {"FmSource", [](const InstrumentState& s) { return asIndex(s.scope.fmSource); },
     [](InstrumentState& s, int i) {
         s.scope.fmSource = static_cast<core::FreqMeterSource>(i);
         return MenuEffect::SettingsChanged;
     }},
    {"Language", [](const InstrumentState& s) { return s.system.RussianUi ? 0 : 1; },
     [](InstrumentState& s, int i) {
         s.system.RussianUi = i == 0;
         return MenuEffect::LanguageChanged;
     }},
    {"Draw", [](const InstrumentState& s) { return asIndex(s.display.drawMode); },
     [](InstrumentState& s, int i) {
         s.display.drawMode = static_cast<core::DrawModeChoice>(i);
         return MenuEffect::Refresh;
     }},
    {"NaRange", [](const InstrumentState& s) { return s.analyzer.NaAmpRange; },
     [](InstrumentState& s, int i) {
         s.analyzer.NaAmpRange = i;
         return MenuEffect::Refresh;
     }},
    {"AaZo", [](const InstrumentState& s) { return s.analyzer.AaZo; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaZo = i;
         return MenuEffect::Refresh;
     }},
    {"AaSwr", [](const InstrumentState& s) { return s.analyzer.AaSwrRange; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaSwrRange = i;
         return MenuEffect::Refresh;
     }},
    {"AaImp", [](const InstrumentState& s) { return s.analyzer.AaImpRange; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaImpRange = i;
         return MenuEffect::Refresh;
     }},
    {"AaQ", [](const InstrumentState& s) { return s.analyzer.AaQRange; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaQRange = i;
         return MenuEffect::Refresh;
     }},
    {"AaG1", [](const InstrumentState& s) { return s.analyzer.AaGraph1; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaGraph1 = i;
         return MenuEffect::Refresh;
     }},
    {"AaG2", [](const InstrumentState& s) { return s.analyzer.AaGraph2; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaGraph2 = i;
         return MenuEffect::Refresh;
     }},
    {"AaG3", [](const InstrumentState& s) { return s.analyzer.AaGraph3; },
     [](InstrumentState& s, int i) {
         s.analyzer.AaGraph3 = i;
         return MenuEffect::Refresh;
     }},
    {"IqZoom", [](const InstrumentState& s) { return s.analyzer.IqZoom; },
     [](InstrumentState& s, int i) {
         s.analyzer.IqZoom = i;
         return MenuEffect::Refresh;
     }},
};

const RadioGroup* radioGroupOf(const MenuEntry& e) {
    if (e.kind != MenuKind::Radio) return nullptr;
    for (const RadioGroup& g : kRadioGroups)
        if (g.group == e.group) return &g;
    return nullptr;
}

MenuEffect toggleCursors(InstrumentState& s, core::CursorMode mode) {
    s.display.cursors = s.display.cursors == mode ? core::CursorMode::None : mode;
    return MenuEffect::Refresh;
}

// Every item whose function exists; the rest of the tree is present but disabled. Open
// items up here as their functions arrive.
constexpr std::string_view kEnabledItems[] = {
    "Menu_File",
    "Menu_Open",
    "Menu_Open_Settings",
    "Menu_Open_Gen_Form",
    "Menu_Save_As",
    "Menu_Save_Settings_As",
    "Menu_Export",
    "Menu_Image",
    "Menu_Text",
    "Menu_Row_Binary",
    "Menu_EBin_A1",
    "Menu_EBin_A2",
    "Menu_EBin_D1",
    "Menu_EBin_D2",
    "Menu_EBin_D3",
    "Menu_EBin_D4",
    "Menu_Export_CSV",
    "Menu_Export_S1P",
    "Menu_Export_VCD",
    "Menu_Export_SR",
    "Menu_Recorder",
    "Menu_SerialDecoders",
    "Menu_Device",
    "Menu_4820",
    "Menu_4821",
    "Menu_4822",
    "Menu_4823",
    "Menu_TRM207",
    "Menu_TRM207_M",
    "Menu_Max_WPS",
    "Menu_WPS_8",
    "Menu_WPS_15",
    "Menu_WPS_24",
    "Menu_WPS_40",
    "Menu_WPS_NO_LIM",
    "Menu_Low_V_Div",
    "Menu_Debug",
    "Menu_USB_Stat",
    "Menu_ETS_Stat",
    "Menu_Exit",

    "Menu_Options",
    "Menu_Trigger",
    "Menu_GeneratorSet",
    "Menu_FFTSet",
    "Menu_ZeroCalibration",
    "Menu_Freq_Calibration",
    "Menu_SystemCalibration",
    "Menu_ASet",
    "Menu_Probe_A1",
    "Menu_A1_x1",
    "Menu_A1_x10",
    "Menu_A1_x20",
    "Menu_A1_x100",
    "Menu_Probe_A2",
    "Menu_A2_x1",
    "Menu_A2_x10",
    "Menu_A2_x20",
    "Menu_A2_x100",
    "Menu_Sampling",
    "Menu_SmplPeakDet",
    "Menu_Smpl_Hi_Res",
    "Menu_Smpl_2000",
    "Menu_Smpl_5000",
    "Menu_Smpl_10000",
    "Menu_Smpl_20000",
    "Menu_Smpl_Max",
    "Menu_FreqMeter",
    "Menu_FM_Off",
    "Menu_FM_Freq",
    "Menu_FM_Period",
    "Menu_FM_RST",
    "Menu_FM_A1",
    "Menu_FM_A2",
    "Menu_FM_D1",
    "Menu_FM_D2",
    "Menu_FM_D3",
    "Menu_FM_D4",
    "Menu_FM_TRIG",
    "Menu_Colors",
    "Menu_Language",
    "Menu_Russian",
    "Menu_English",

    "Menu_View",
    "Menu_CH_A1",
    "Menu_CH_A2",
    "Menu_CH_D1",
    "Menu_CH_D2",
    "Menu_CH_D3",
    "Menu_CH_D4",
    "Menu_CH_GEN",
    "Menu_View_Options",
    "Menu_Measure",
    "Menu_Grid",
    "Menu_TrigPosL",
    "Menu_Smpl_Info",
    "Menu_Extra_Info",
    "Menu_Trig_T",
    "Menu_Distortion",
    "Menu_Markers_1",
    "Menu_Markers_2",
    "Menu_BG_View",
    "Menu_BG_Do",
    "Menu_BG_Clr",
    "Menu_DrawMode",
    "Menu_Persistence",
    "Menu_Lenta",
    "Menu_Dots",
    "Menu_Vectors",
    "Menu_Sinxx",
    "Menu_FFT_A1",
    "Menu_FFT_A2",
    "Menu_Gen_View",
    "Menu_Compact",
    "Menu_On_Top",

    "Menu_Tools",
    // The analyzers.
    "Menu_LCMeter",
    "Menu_NA_Clbr",
    "Menu_AA_Clbr",
    "Menu_AA_Smith",
    "Menu_NA",
    "Menu_NA_Settings",
    "Menu_NA_Amp_Range",
    "Menu_NA_Amp_Range0",
    "Menu_NA_Amp_Range1",
    "Menu_NA_Amp_Range2",
    "Menu_NA_Amp_Range3",
    "Menu_NA_Amp_Range4",
    "Menu_NA_Amp_Range5",
    "Menu_NA_Ampl",
    "Menu_NA_Phase",
    "Menu_AA",
    "Menu_AA_Settings",
    "Menu_AA_Zo",
    "Menu_AA_R25",
    "Menu_AA_R50",
    "Menu_AA_R75",
    "Menu_AA_R100",
    "Menu_AA_SWR_Range",
    "Menu_AA_SWR_Range0",
    "Menu_AA_SWR_Range1",
    "Menu_AA_SWR_Range2",
    "Menu_AA_SWR_Range3",
    "Menu_AA_SWR_Range4",
    "Menu_AA_Imp_Range",
    "Menu_AA_Imp_Range0",
    "Menu_AA_Imp_Range1",
    "Menu_AA_Imp_Range2",
    "Menu_AA_Imp_Range3",
    "Menu_AA_Imp_Range4",
    "Menu_AA_Imp_Range5",
    "Menu_AA_Imp_Range6",
    "Menu_AA_Imp_Range7",
    "Menu_AA_Imp_Range8",
    "Menu_AA_Imp_Range9",
    "Menu_AA_Imp_Range10",
    "Menu_AA_Q_Range",
    "Menu_AA_Q_Range0",
    "Menu_AA_Q_Range1",
    "Menu_AA_Q_Range2",
    "Menu_AA_G1",
    "Menu_AA_G1_Off",
    "Menu_AA_G1_SWR",
    "Menu_AA_G1_RL",
    "Menu_AA_G1_Q",
    "Menu_AA_G2",
    "Menu_AA_G2_Off",
    "Menu_AA_G2_Rs",
    "Menu_AA_G2_Xs",
    "Menu_AA_G2_Z",
    "Menu_AA_G2_Ph",
    "Menu_AA_G2_Rp",
    "Menu_AA_G2_Xp",
    "Menu_AA_G3",
    "Menu_AA_G3_Off",
    "Menu_AA_G3_Rs",
    "Menu_AA_G3_Xs",
    "Menu_AA_G3_Z",
    "Menu_AA_G3_Ph",
    "Menu_AA_G3_Rp",
    "Menu_AA_G3_Xp",
    "Menu_IQ_Zoom",
    "Menu_IQ_Zoom_1",
    "Menu_IQ_Zoom_2",
    "Menu_IQ_Zoom_5",
    "Menu_IQ_Zoom_10",
    "Menu_IQ_Zoom_20",

    "Menu_Help",
    "Menu_Help_Contents",
    "Menu_About",
};

bool isA1ProbeItem(std::string_view name) {
    const MenuEntry* e = findMenuEntry(name);
    return e && e->kind == MenuKind::Radio && e->group == "ProbeA1";
}

} // namespace

bool menuChecked(const InstrumentState& s, std::string_view name) {
    const MenuEntry* e = findMenuEntry(name);
    if (!e) return false;
    if (const RadioGroup* g = radioGroupOf(*e)) return g->get(s) == radioIndex(name);
    if (e->kind != MenuKind::Check) return false;
    if (name == "Menu_Markers_1") return s.display.cursors == core::CursorMode::Single;
    if (name == "Menu_Markers_2") return s.display.cursors == core::CursorMode::Double;
    const auto ref = flagOf(s, name);
    return ref.flag && *ref.flag;
}

MenuEffect onMenuItem(InstrumentState& s, std::string_view name) {
    const MenuEntry* e = findMenuEntry(name);
    if (!e) return MenuEffect::None;
    const std::int32_t code = s.system.UiDeviceType;

    switch (e->kind) {
    case MenuKind::Radio:
        if (const RadioGroup* g = radioGroupOf(*e)) return g->choose(s, radioIndex(name));
        return MenuEffect::None;
    case MenuKind::Action:
        if (name == "Menu_FM_RST") {
            s.scope.fmCounterReset = true;
            return MenuEffect::SettingsChanged;
        }
        return MenuEffect::Command;
    case MenuKind::Check:
        break;
    default:
        return MenuEffect::None;
    }

    if (name == "Menu_Markers_1") return toggleCursors(s, core::CursorMode::Single);
    if (name == "Menu_Markers_2") return toggleCursors(s, core::CursorMode::Double);
    // Items the model hides or the program settings forbid change nothing.
    if (name == "Menu_Low_V_Div" && core::hasCompactFrontEnd(code)) return MenuEffect::None;
    if (name == "Menu_Debug" && !s.system.DebugAllowed) return MenuEffect::None;
    if (name == "Menu_CH_GEN" && !(core::hasGenerator(code) && core::hasA2Input(code)))
        return MenuEffect::None;
    if ((name == "Menu_FFT_A1" || name == "Menu_FFT_A2") && !menuEnabled(s, name)) return MenuEffect::None;

    const auto ref = flagOf(s, name);
    if (!ref.flag) return MenuEffect::None;
    if (ref.effect == MenuEffect::Command) return MenuEffect::Command;
    *ref.flag = !*ref.flag;

    if (name == "Menu_CH_GEN" && s.scope.CH_GEN) core::setProbe(s, core::AnalogInput::A2, 0);
    // One spectrum at a time.
    if (name == "Menu_FFT_A1" && s.fft.View_A1) s.fft.View_A2 = false;
    if (name == "Menu_FFT_A2" && s.fft.View_A2) s.fft.View_A1 = false;
    return ref.effect;
}

bool menuEnabled(std::string_view name) {
    return std::find(std::begin(kEnabledItems), std::end(kEnabledItems), name) != std::end(kEnabledItems);
}

bool menuEnabled(const InstrumentState& s, std::string_view name) {
    if (!menuEnabled(name)) return false;
    if (s.analyzer.AA && isA1ProbeItem(name)) return false;
    // A value change dump holds logic channels only.
    if (name == "Menu_Export_VCD") return s.scope.CH_D1 || s.scope.CH_D2 || s.scope.CH_D3 || s.scope.CH_D4;
    // A spectrum needs its channel on the screen.
    if (name == "Menu_FFT_A1") return s.scope.A1.shown;
    if (name == "Menu_FFT_A2") return s.scope.A2.shown;
    return true;
}

bool menuVisible(const InstrumentState& s, std::string_view name) {
    const std::int32_t code = s.system.UiDeviceType;
    constexpr std::string_view kGeneratorItems[] = {
        "Menu_Gen_View",    "Menu_GeneratorSet", "Menu_Open_Gen_Form", "Menu_LCMeter", "Menu_NA",
        "Menu_NA_Settings", "Menu_AA",           "Menu_AA_Settings",   "Menu_IQ_Zoom", "Menu_Sep_LCMeter",
        "Menu_Sep_NA",      "Menu_Sep_AA",       "Menu_Sep_IQ_Zoom",
    };
    constexpr std::string_view kA2ChannelItems[] = {"Menu_FM_A2", "Menu_CH_A2", "Menu_FFT_A2",
                                                    "Menu_EBin_A2"};
    constexpr std::string_view kDebugModeItems[] = {"Menu_SystemCalibration", "Menu_USB_Stat",
                                                    "Menu_ETS_Stat"};
    const auto in = [name](const auto& list) {
        return std::find(std::begin(list), std::end(list), name) != std::end(list);
    };

    if (in(kGeneratorItems)) return core::hasGenerator(code);
    if (in(kA2ChannelItems)) return core::hasA2Channel(code);
    if (in(kDebugModeItems)) return s.system.DebugMode;
    if (name == "Menu_Probe_A2") return core::hasA2Input(code);
    if (name == "Menu_CH_GEN" || name == "Menu_Sep_CH_GEN")
        return core::hasGenerator(code) && core::hasA2Input(code);
    if (name == "Menu_Low_V_Div") return !core::hasCompactFrontEnd(code);
    if (name == "Menu_Debug" || name == "Menu_Sep_Debug") return s.system.DebugAllowed;
    // The antenna analyzer's reflection, for other programs.
    if (name == "Menu_Export_S1P") return s.analyzer.AA;
    return true;
}

bool trmMenuItem(std::string_view name) {
    return name == "Menu_TRM207" || name == "Menu_TRM207_M" || name == "Menu_Sep_TRM";
}

} // namespace kx::ui
