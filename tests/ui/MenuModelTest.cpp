// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuModel.h"
#include "app/ModelFeatures.h"
#include "core/DeviceModel.h"
#include "ui/MenuTree.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace kx;
using ui::MenuEffect;
using ui::MenuKind;

namespace {

// A model where every item of the tree can act: generator and A2 input, debug allowed.
core::InstrumentState fullState() {
    core::InstrumentState s;
    s.system.UiDeviceType = core::kKX4823;
    s.system.DebugAllowed = true;
    s.scope.A2.shown = true; // both spectrum items can be checked
    return s;
}

std::vector<std::string_view> radioGroupOf(std::string_view name) {
    std::vector<std::string_view> members;
    const ui::MenuEntry* item = ui::findMenuEntry(name);
    for (const auto& e : ui::menuTree())
        if (e.kind == MenuKind::Radio && e.group == item->group) members.push_back(e.name);
    return members;
}

} // namespace

TEST(MenuTree, NamesAreUniqueAndMenusBalance) {
    std::set<std::string_view> names;
    int depth = 0;
    for (const auto& e : ui::menuTree()) {
        if (!e.name.empty()) {
            EXPECT_TRUE(names.insert(e.name).second) << e.name;
        }
        if (e.kind == MenuKind::Menu) ++depth;
        if (e.kind == MenuKind::End) --depth;
        ASSERT_GE(depth, 0);
        if (e.kind == MenuKind::Radio) {
            EXPECT_FALSE(e.group.empty()) << e.name;
        }
        if (e.kind != MenuKind::Separator && e.kind != MenuKind::End) {
            EXPECT_FALSE(e.name.empty());
        }
    }
    EXPECT_EQ(depth, 0);
}

TEST(MenuModel, EveryCheckItemTogglesItsOwnCheck) {
    for (const auto& e : ui::menuTree()) {
        if (e.kind != MenuKind::Check) continue;
        core::InstrumentState s = fullState();
        const bool before = ui::menuChecked(s, e.name);
        const MenuEffect effect = ui::onMenuItem(s, e.name);
        if (effect == MenuEffect::Command) continue; // the analysers switch in the window
        EXPECT_NE(ui::menuChecked(s, e.name), before) << e.name;
        ui::onMenuItem(s, e.name);
        EXPECT_EQ(ui::menuChecked(s, e.name), before) << e.name;
    }
}

TEST(MenuModel, RadioItemsKeepTheLastChoice) {
    for (const auto& e : ui::menuTree()) {
        if (e.kind != MenuKind::Radio) continue;
        core::InstrumentState s = fullState();
        ui::onMenuItem(s, e.name);
        for (std::string_view other : radioGroupOf(e.name))
            EXPECT_EQ(ui::menuChecked(s, other), other == e.name) << "after " << e.name << ": " << other;
    }
    // A later choice replaces an earlier one, also back and forth.
    core::InstrumentState s = fullState();
    for (std::string_view name : {"Menu_Smpl_2000", "Menu_Smpl_Max", "Menu_Smpl_10000"})
        ui::onMenuItem(s, name);
    EXPECT_EQ(s.scope.points, 2);
    for (std::string_view name : {"Menu_FM_TRIG", "Menu_FM_D2"}) ui::onMenuItem(s, name);
    EXPECT_EQ(s.scope.fmSource, core::FreqMeterSource::D2);
}

TEST(MenuModel, InitialChecksOfTheTreeAreTheStateDefaults) {
    const core::InstrumentState s;
    for (const auto& e : ui::menuTree()) {
        if (e.kind != MenuKind::Check && e.kind != MenuKind::Radio) continue;
        // The form shows KX4823 until the constructor picks the default model.
        if (e.group == "Device") continue;
        EXPECT_EQ(ui::menuChecked(s, e.name), e.checked) << e.name;
    }
    EXPECT_TRUE(ui::menuChecked(s, "Menu_4821"));
}

TEST(MenuModel, EffectOfEachKindOfItem) {
    struct Case {
        const char* name;
        MenuEffect effect;
    };
    const Case cases[] = {
        {"Menu_Grid", MenuEffect::Refresh},
        {"Menu_Measure", MenuEffect::Refresh},
        {"Menu_Markers_2", MenuEffect::Refresh},
        {"Menu_Vectors", MenuEffect::Refresh},
        {"Menu_On_Top", MenuEffect::Refresh},
        {"Menu_USB_Stat", MenuEffect::Refresh},
        {"Menu_FFT_A1", MenuEffect::Refresh},
        {"Menu_BG_View", MenuEffect::Refresh},
        {"Menu_IQ_Zoom_5", MenuEffect::Refresh},
        {"Menu_AA_G2_Ph", MenuEffect::Refresh},
        {"Menu_NA_Phase", MenuEffect::Refresh},
        {"Menu_Persistence", MenuEffect::None},
        {"Menu_Lenta", MenuEffect::SettingsChanged},
        {"Menu_CH_D3", MenuEffect::SettingsChanged},
        {"Menu_CH_GEN", MenuEffect::SettingsChanged},
        {"Menu_WPS_8", MenuEffect::SettingsChanged},
        {"Menu_Smpl_Hi_Res", MenuEffect::SettingsChanged},
        {"Menu_A2_x20", MenuEffect::SettingsChanged},
        {"Menu_FM_Period", MenuEffect::SettingsChanged},
        {"Menu_FM_RST", MenuEffect::SettingsChanged},
        {"Menu_Gen_View", MenuEffect::LayoutChanged},
        {"Menu_Compact", MenuEffect::LayoutChanged},
        {"Menu_TRM207", MenuEffect::ModelChanged},
        {"Menu_Low_V_Div", MenuEffect::FeaturesChanged},
        {"Menu_Debug", MenuEffect::FeaturesChanged},
        {"Menu_English", MenuEffect::LanguageChanged},
        {"Menu_Open", MenuEffect::Command},
        {"Menu_Save_Settings_As", MenuEffect::Command},
        {"Menu_Exit", MenuEffect::Command},
        {"Menu_Help_Contents", MenuEffect::Command},
        {"Menu_About", MenuEffect::Command},
        {"Menu_BG_Clr", MenuEffect::Command},
        {"Menu_NA", MenuEffect::Command},
        {"Menu_AA", MenuEffect::Command},
        {"Menu_File", MenuEffect::None},
        {"Menu_Sep_TRM", MenuEffect::None},
        {"Menu_Nothing", MenuEffect::None},
        {"", MenuEffect::None},
    };
    for (const Case& c : cases) {
        core::InstrumentState s = fullState();
        EXPECT_EQ(ui::onMenuItem(s, c.name), c.effect) << c.name;
    }
}

TEST(MenuModel, ProbeItemsRescaleTheTriggerLevels) {
    core::InstrumentState s = fullState();
    s.scope.A1.Zero = 0x8000;
    s.trigger.Lev_A1 = 0x8000 + 8192.0; // one division above zero at 1 V/div
    s.display.BgScreenZeroA1 = 0x4000;
    s.display.BgTrigLevelA1 = 0x4000 - 4096.0;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_A1_x10"), MenuEffect::SettingsChanged);
    EXPECT_EQ(s.scope.A1.probe, 1);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 0x8000 + 819.2);
    EXPECT_DOUBLE_EQ(s.display.BgTrigLevelA1, 0x4000 - 409.6);
    ui::onMenuItem(s, "Menu_A1_x1");
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 0x8000 + 8192.0);

    // Checking "A2 <- Generator" puts A2 back to x1, rescaling its level too.
    s.scope.A2.Zero = 0x4000;
    s.trigger.Lev_A2 = 0x4000 + 100.0;
    ui::onMenuItem(s, "Menu_A2_x100");
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A2, 0x4000 + 1.0);
    ui::onMenuItem(s, "Menu_CH_GEN");
    EXPECT_TRUE(s.scope.CH_GEN);
    EXPECT_EQ(s.scope.A2.probe, 0);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A2, 0x4000 + 100.0);
    // ... and holds it there while checked.
    EXPECT_EQ(ui::onMenuItem(s, "Menu_A2_x10"), MenuEffect::None);
    EXPECT_EQ(s.scope.A2.probe, 0);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_A2_x1"));
}

TEST(MenuModel, TheAntennaAnalyserLocksTheA1Probe) {
    core::InstrumentState s = fullState();
    s.analyzer.AA = true;
    EXPECT_FALSE(ui::menuEnabled(s, "Menu_A1_x10"));
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_A2_x10"));
    EXPECT_EQ(ui::onMenuItem(s, "Menu_A1_x10"), MenuEffect::None);
    EXPECT_EQ(s.scope.A1.probe, 0);
    s.analyzer.AA = false;
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_A1_x10"));
}

TEST(MenuModel, VcdExportNeedsAShownLogicChannel) {
    core::InstrumentState s = fullState();
    s.scope.CH_D1 = s.scope.CH_D2 = s.scope.CH_D4 = false;
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_Export_VCD"));
    s.scope.CH_D3 = false;
    EXPECT_FALSE(ui::menuEnabled(s, "Menu_Export_VCD"));
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_Export_CSV"));
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Export_SR"), MenuEffect::Command);
    // Touchstone is the antenna analyzer's alone.
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Export_S1P"), MenuEffect::Command);
    s.analyzer.AA = false;
    EXPECT_FALSE(ui::menuVisible(s, "Menu_Export_S1P"));
    s.analyzer.AA = true;
    EXPECT_TRUE(ui::menuVisible(s, "Menu_Export_S1P"));
    // The Smith chart is a view check of the antenna analyzer.
    EXPECT_EQ(ui::onMenuItem(s, "Menu_AA_Smith"), MenuEffect::Refresh);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_AA_Smith"));
    EXPECT_TRUE(s.analyzer.AA_Smith);
}

TEST(MenuModel, PairedChecksAllowNoneButNeverBoth) {
    core::InstrumentState s = fullState();
    struct Step {
        const char* click;
        bool first, second;
    };
    const Step cursorSteps[] = {
        {"Menu_Markers_2", false, true}, {"Menu_Markers_1", true, false},  {"Menu_Markers_1", false, false},
        {"Menu_Markers_2", false, true}, {"Menu_Markers_2", false, false},
    };
    for (const Step& st : cursorSteps) {
        ui::onMenuItem(s, st.click);
        EXPECT_EQ(ui::menuChecked(s, "Menu_Markers_1"), st.first) << st.click;
        EXPECT_EQ(ui::menuChecked(s, "Menu_Markers_2"), st.second) << st.click;
    }
    const Step fftSteps[] = {
        {"Menu_FFT_A1", true, false}, {"Menu_FFT_A2", false, true}, {"Menu_FFT_A2", false, false},
        {"Menu_FFT_A2", false, true}, {"Menu_FFT_A1", true, false}, {"Menu_FFT_A1", false, false},
    };
    for (const Step& st : fftSteps) {
        ui::onMenuItem(s, st.click);
        EXPECT_EQ(s.fft.View_A1, st.first) << st.click;
        EXPECT_EQ(s.fft.View_A2, st.second) << st.click;
    }
}

TEST(MenuModel, CounterResetIsAOneShotRequest) {
    core::InstrumentState s = fullState();
    EXPECT_FALSE(ui::menuChecked(s, "Menu_FM_RST"));
    ui::onMenuItem(s, "Menu_FM_RST");
    EXPECT_TRUE(s.scope.fmCounterReset);
    EXPECT_FALSE(ui::menuChecked(s, "Menu_FM_RST"));
}

TEST(MenuModel, ModelChoiceSetsTheTypeAndEndsTheModelCheck) {
    core::InstrumentState s = fullState();
    s.system.ModelCheckPending = true;
    s.scope.A2.probe = 1;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_4821"), MenuEffect::ModelChanged);
    EXPECT_EQ(s.system.UiDeviceType, core::kKX4821);
    EXPECT_FALSE(s.system.ModelCheckPending);
    // The window then applies the feature set: A2 shows the generator, its probe menu goes.
    app::applyModelFeatures(s);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_CH_GEN"));
    EXPECT_TRUE(ui::menuChecked(s, "Menu_A2_x1"));
    EXPECT_FALSE(ui::menuVisible(s, "Menu_Probe_A2"));
    EXPECT_FALSE(ui::menuVisible(s, "Menu_CH_GEN"));
    // A click on the hidden item changes nothing.
    EXPECT_EQ(ui::onMenuItem(s, "Menu_CH_GEN"), MenuEffect::None);
    EXPECT_TRUE(s.scope.CH_GEN);

    ui::onMenuItem(s, "Menu_TRM207_M");
    EXPECT_EQ(s.system.UiDeviceType, core::kTRM207Mini);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_TRM207_M"));

    // A type the menu does not list checks no model item.
    s.system.UiDeviceType = 0x07;
    for (std::string_view name : radioGroupOf("Menu_4820")) EXPECT_FALSE(ui::menuChecked(s, name)) << name;
}

TEST(MenuModel, OptionsTheProgramSettingsOrTheModelForbidStayOff) {
    core::InstrumentState s;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Debug"), MenuEffect::None);
    EXPECT_FALSE(s.system.DebugMode);
    s.system.DebugAllowed = true;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Debug"), MenuEffect::FeaturesChanged);
    EXPECT_TRUE(s.system.DebugMode);

    s.system.UiDeviceType = core::kTRM207Mini;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Low_V_Div"), MenuEffect::None);
    EXPECT_FALSE(s.system.LowVoltsDiv);
    s.system.UiDeviceType = core::kKX4822;
    ui::onMenuItem(s, "Menu_Low_V_Div");
    EXPECT_TRUE(s.system.LowVoltsDiv);
}

TEST(MenuModel, LanguageItems) {
    core::InstrumentState s;
    ASSERT_TRUE(s.system.RussianUi);
    EXPECT_EQ(ui::onMenuItem(s, "Menu_English"), MenuEffect::LanguageChanged);
    EXPECT_FALSE(s.system.RussianUi);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_English"));
    EXPECT_FALSE(ui::menuChecked(s, "Menu_Russian"));
    ui::onMenuItem(s, "Menu_Russian");
    EXPECT_TRUE(s.system.RussianUi);
}

TEST(MenuModel, EnabledItems) {
    struct Case {
        const char* name;
        bool enabled;
    };
    const Case cases[] = {
        {"Menu_Open", true},
        {"Menu_Open_Settings", true},
        {"Menu_Save_As", true},
        {"Menu_Save_Settings_As", true},
        {"Menu_Open_Gen_Form", true},
        {"Menu_Export", true},
        {"Menu_Image", true},
        {"Menu_Text", true},
        {"Menu_Row_Binary", true},
        {"Menu_EBin_D4", true},
        {"Menu_Export_CSV", true},
        {"Menu_Export_VCD", true},
        {"Menu_Export_SR", true},
        {"Menu_Recorder", true},
        {"Menu_4823", true},
        {"Menu_TRM207_M", true},
        {"Menu_WPS_NO_LIM", true},
        {"Menu_Low_V_Div", true},
        {"Menu_Debug", true},
        {"Menu_USB_Stat", true},
        {"Menu_ETS_Stat", true},
        {"Menu_SystemCalibration", true},
        {"Menu_Exit", true},
        {"Menu_Trigger", true},
        {"Menu_FFTSet", true},
        {"Menu_GeneratorSet", true},
        {"Menu_ASet", true},
        {"Menu_A2_x100", true},
        {"Menu_Smpl_Max", true},
        {"Menu_FM_RST", true},
        {"Menu_FM_TRIG", true},
        {"Menu_Freq_Calibration", true},
        {"Menu_ZeroCalibration", true},
        {"Menu_Colors", true},
        {"Menu_English", true},
        {"Menu_CH_GEN", true},
        {"Menu_Trig_T", true},
        {"Menu_Markers_2", true},
        {"Menu_BG_View", true},
        {"Menu_BG_Do", true},
        {"Menu_BG_Clr", true},
        {"Menu_Lenta", true},
        {"Menu_Sinxx", true},
        {"Menu_FFT_A1", true},
        {"Menu_FFT_A2", true},
        {"Menu_Distortion", true},
        {"Menu_Gen_View", true},
        {"Menu_On_Top", true},
        {"Menu_SerialDecoders", true},
        {"Menu_LCMeter", true},
        {"Menu_NA", true},
        {"Menu_NA_Settings", true},
        {"Menu_NA_Clbr", true},
        {"Menu_AA", true},
        {"Menu_AA_Settings", true},
        {"Menu_AA_Clbr", true},
        {"Menu_IQ_Zoom", true},
        {"Menu_Help_Contents", true},
        {"Menu_About", true},
        {"Menu_Nothing", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::menuEnabled(c.name), c.enabled) << c.name;
}

TEST(MenuModel, SpectrumItems) {
    core::InstrumentState s = fullState();
    s.scope.A1.shown = true;
    s.scope.A2.shown = false;
    // A spectrum item follows its channel.
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_FFT_A1"));
    EXPECT_FALSE(ui::menuEnabled(s, "Menu_FFT_A2"));
    EXPECT_EQ(ui::onMenuItem(s, "Menu_FFT_A2"), MenuEffect::None);
    EXPECT_FALSE(s.fft.View_A2);
    EXPECT_EQ(ui::onMenuItem(s, "Menu_FFT_A1"), MenuEffect::Refresh);
    EXPECT_TRUE(s.fft.View_A1);
    s.scope.A2.shown = true;
    EXPECT_EQ(ui::onMenuItem(s, "Menu_FFT_A2"), MenuEffect::Refresh);
    EXPECT_TRUE(s.fft.View_A2);
    EXPECT_FALSE(s.fft.View_A1); // one spectrum at a time
    // "FFT..." opens the dialog in the window; "Distortion" is a view check of its own.
    EXPECT_EQ(ui::onMenuItem(s, "Menu_FFTSet"), MenuEffect::Command);
    EXPECT_TRUE(ui::menuEnabled(s, "Menu_FFTSet"));
    EXPECT_EQ(ui::onMenuItem(s, "Menu_Distortion"), MenuEffect::Refresh);
    EXPECT_TRUE(s.display.Distortion);
    EXPECT_TRUE(ui::menuChecked(s, "Menu_Distortion"));
    EXPECT_EQ(ui::findMenuEntry("Menu_Distortion")->kind, MenuKind::Check);
    // FFT A2 is offered only on models with a second channel.
    s.system.UiDeviceType = core::kKX4820;
    EXPECT_FALSE(ui::menuVisible(s, "Menu_FFT_A2"));
    EXPECT_TRUE(ui::menuVisible(s, "Menu_FFT_A1"));
}

TEST(MenuModel, EveryEnabledItemCanBeReached) {
    std::vector<const ui::MenuEntry*> open;
    for (const auto& e : ui::menuTree()) {
        if (e.kind == MenuKind::End) {
            open.pop_back();
            continue;
        }
        if (e.kind != MenuKind::Separator && ui::menuEnabled(e.name)) {
            for (const auto* m : open)
                EXPECT_TRUE(ui::menuEnabled(m->name)) << e.name << " inside " << m->name;
        }
        if (e.kind == MenuKind::Menu) open.push_back(&e);
    }
}

TEST(MenuModel, VisibilityByModelAndDebugOptions) {
    struct Case {
        std::int32_t code;
        bool debugAllowed, debugMode;
        const char* name;
        bool visible;
    };
    const Case cases[] = {
        {core::kKX4823, false, false, "Menu_NA", true},
        {core::kKX4822, false, false, "Menu_NA", false},
        {core::kKX4822, false, false, "Menu_Sep_AA", false},
        {core::kKX4822, false, false, "Menu_Gen_View", false},
        {core::kKX4822, false, false, "Menu_Open_Gen_Form", false},
        {core::kKX4822, false, false, "Menu_SerialDecoders", true},
        {core::kKX4822, false, false, "Menu_Probe_A2", true},
        {core::kKX4822, false, false, "Menu_CH_GEN", false},
        {core::kKX4823, false, false, "Menu_CH_GEN", true},
        {core::kKX4823, false, false, "Menu_Sep_CH_GEN", true},
        {core::kKX4821, false, false, "Menu_Sep_CH_GEN", false},
        {core::kKX4821, false, false, "Menu_Probe_A2", false},
        {core::kKX4821, false, false, "Menu_CH_A2", true},
        {core::kKX4820, false, false, "Menu_CH_A2", false},
        {core::kKX4820, false, false, "Menu_FM_A2", false},
        {core::kKX4820, false, false, "Menu_EBin_A2", false},
        {core::kKX4820, false, false, "Menu_FFT_A2", false},
        {core::kKX4820, false, false, "Menu_FFT_A1", true},
        {core::kTRM207Mini, false, false, "Menu_Low_V_Div", false},
        {core::kTRM207, false, false, "Menu_Low_V_Div", true},
        {core::kKX4823, false, false, "Menu_Debug", false},
        {core::kKX4823, true, false, "Menu_Debug", true},
        {core::kKX4823, true, false, "Menu_Sep_Debug", true},
        {core::kKX4823, true, false, "Menu_USB_Stat", false},
        {core::kKX4823, true, true, "Menu_USB_Stat", true},
        {core::kKX4823, true, true, "Menu_ETS_Stat", true},
        {core::kKX4823, true, true, "Menu_SystemCalibration", true},
    };
    for (const Case& c : cases) {
        core::InstrumentState s;
        s.system.UiDeviceType = c.code;
        s.system.DebugAllowed = c.debugAllowed;
        s.system.DebugMode = c.debugMode;
        EXPECT_EQ(ui::menuVisible(s, c.name), c.visible) << c.name << " on 0x" << std::hex << c.code;
    }
    for (std::string_view name : {"Menu_TRM207", "Menu_TRM207_M", "Menu_Sep_TRM"})
        EXPECT_TRUE(ui::trmMenuItem(name));
    EXPECT_FALSE(ui::trmMenuItem("Menu_4823"));
}
