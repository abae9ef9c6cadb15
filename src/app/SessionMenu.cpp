// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu's items: the session's commands by item name, and the state items of the menu
// model for every other item.
#include "app/AnalyzerController.h"
#include "app/CalibrationController.h"
#include "app/FilesController.h"
#include "app/GeneratorController.h"
#include "app/ScopeSession.h"
#include "app/ViewController.h"
#include "core/FrameRecord.h"
#include "ui/MenuModel.h"

#include <array>

namespace kx::app {

namespace {

struct MenuCommand {
    std::string_view item;
    void (*run)(ScopeSession&);
};

constexpr std::array kCommands{
    MenuCommand{"Menu_Exit", [](ScopeSession& s) { s.window().closeWindow(); }},
    MenuCommand{"Menu_Open", [](ScopeSession& s) { s.files().openDataWithDialog(); }},
    MenuCommand{"Menu_Save_As", [](ScopeSession& s) { s.files().saveDataWithDialog(); }},
    MenuCommand{"Menu_Open_Settings", [](ScopeSession& s) { s.files().openSettingsWithDialog(); }},
    MenuCommand{"Menu_Save_Settings_As", [](ScopeSession& s) { s.files().saveSettingsWithDialog(); }},
    MenuCommand{"Menu_Help_Contents", [](ScopeSession& s) { s.files().help(); }},
    MenuCommand{"Menu_Trigger", [](ScopeSession& s) { s.showDialog(Dialog::Trigger); }},
    MenuCommand{"Menu_Colors", [](ScopeSession& s) { s.showDialog(Dialog::Colors); }},
    MenuCommand{"Menu_ASet", [](ScopeSession& s) { s.showDialog(Dialog::Advanced); }},
    MenuCommand{"Menu_About", [](ScopeSession& s) { s.showDialog(Dialog::About); }},
    MenuCommand{"Menu_GeneratorSet", [](ScopeSession& s) { s.showDialog(Dialog::Generator); }},
    MenuCommand{"Menu_Open_Gen_Form", [](ScopeSession& s) { s.generator().openAwgFile(); }},
    MenuCommand{"Menu_Image", [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Image); }},
    MenuCommand{"Menu_Text", [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Text); }},
    MenuCommand{"Menu_EBin_A1", [](ScopeSession& s) { s.files().exportRaw(core::Channel::A1); }},
    MenuCommand{"Menu_EBin_A2", [](ScopeSession& s) { s.files().exportRaw(core::Channel::A2); }},
    MenuCommand{"Menu_EBin_D1", [](ScopeSession& s) { s.files().exportRaw(core::Channel::D1); }},
    MenuCommand{"Menu_EBin_D2", [](ScopeSession& s) { s.files().exportRaw(core::Channel::D2); }},
    MenuCommand{"Menu_EBin_D3", [](ScopeSession& s) { s.files().exportRaw(core::Channel::D3); }},
    MenuCommand{"Menu_EBin_D4", [](ScopeSession& s) { s.files().exportRaw(core::Channel::D4); }},
    MenuCommand{"Menu_Export_CSV",
                [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Csv); }},
    MenuCommand{"Menu_Export_S1P",
                [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Touchstone); }},
    MenuCommand{"Menu_Export_VCD",
                [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Vcd); }},
    MenuCommand{"Menu_Export_SR",
                [](ScopeSession& s) { s.files().exportFrame(FilesController::Export::Sigrok); }},
    MenuCommand{"Menu_Recorder", [](ScopeSession& s) { s.files().recorder(); }},
    MenuCommand{"Menu_FFTSet", [](ScopeSession& s) { s.showDialog(Dialog::Fft); }},
    MenuCommand{"Menu_SerialDecoders", [](ScopeSession& s) { s.showDialog(Dialog::Decoders); }},
    MenuCommand{"Menu_ZeroCalibration", [](ScopeSession& s) { s.calibration().zeroCalibration(); }},
    MenuCommand{"Menu_SystemCalibration", [](ScopeSession& s) { s.calibration().systemCalibration(); }},
    MenuCommand{"Menu_Freq_Calibration", [](ScopeSession& s) { s.showDialog(Dialog::FreqCalibration); }},
    MenuCommand{"Menu_BG_Do", [](ScopeSession& s) { s.view().backgroundSwap(); }},
    MenuCommand{"Menu_BG_Clr", [](ScopeSession& s) { s.view().backgroundClear(); }},
    MenuCommand{"Menu_NA", [](ScopeSession& s) { s.analyzers().toggleNetwork(); }},
    MenuCommand{"Menu_AA", [](ScopeSession& s) { s.analyzers().toggleAntenna(); }},
    MenuCommand{"Menu_LCMeter", [](ScopeSession& s) { s.analyzers().lcMeter(); }},
    MenuCommand{"Menu_NA_Clbr", [](ScopeSession& s) { s.analyzers().networkCalibration().run(); }},
    MenuCommand{"Menu_AA_Clbr", [](ScopeSession& s) { s.analyzers().antennaCalibration().run(); }},
};

const MenuCommand* commandOf(std::string_view name) {
    for (const MenuCommand& c : kCommands)
        if (c.item == name) return &c;
    return nullptr;
}

Effect effectOf(ui::MenuEffect e) {
    switch (e) {
    case ui::MenuEffect::SettingsChanged:
        return Effect::SettingsChanged;
    case ui::MenuEffect::Refresh:
        return Effect::Refresh;
    case ui::MenuEffect::ModelChanged:
    case ui::MenuEffect::FeaturesChanged:
        return kModelEffects;
    case ui::MenuEffect::LayoutChanged:
        return Effect::Layout | Effect::Refresh;
    case ui::MenuEffect::LanguageChanged:
        return Effect::Captions | Effect::Refresh;
    case ui::MenuEffect::None:
    case ui::MenuEffect::Command:
        break;
    }
    return Effect::None;
}

} // namespace

std::span<const std::string_view> ScopeSession::commandItems() {
    static constexpr auto kNames = [] {
        std::array<std::string_view, kCommands.size()> names{};
        for (std::size_t i = 0; i < kCommands.size(); ++i) names[i] = kCommands[i].item;
        return names;
    }();
    return kNames;
}

void ScopeSession::menuItem(std::string_view name) {
    if (const MenuCommand* c = commandOf(name)) {
        c->run(*this);
        return;
    }
    apply(effectOf(ui::onMenuItem(m_state, name)));
}

void ScopeSession::showDialog(Dialog which) {
    BusyMark busy(m_busy);
    m_view.showDialog(which);
    m_view.syncControls();
}

} // namespace kx::app
