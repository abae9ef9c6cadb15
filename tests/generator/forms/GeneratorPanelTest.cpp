// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/forms/GeneratorPanel.h"

#include "display/Colors.h"
#include "generator/AwgLoader.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace kx::generator {
namespace {

using core::GenFunction;

template <class T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class LoaderHost : public AwgLoaderHost {
public:
    core::Prompt& prompt() override { return dialogs; }
    void markBusy(bool) override {}
    bool awgLoaded() override { return loaded; }
    void uploadAwg(std::span<const std::int32_t, kAwgWords>, bool) override { ++uploads; }
    void raiseAwgRun() override { ++runs; }
    void settingsChanged() override {
        if (onSettings) onSettings();
    }
    void setStatusCountdown(int ticks) override { countdown = ticks; }

    testing::ScriptedPrompt dialogs;
    bool loaded = false;
    int uploads = 0;
    int runs = 0;
    int countdown = 0;
    std::function<void()> onSettings;
};

// The panel wired as the main window wires it: handlers edit the state, then the settings-changed
// notification updates the panel from it.
class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state.system.RussianUi = false;
        state.generator.On = true;
        host.onSettings = [this] { settingsChanged(); };
        GeneratorPanelHooks hooks;
        hooks.settingsChanged = [this] { settingsChanged(); };
        hooks.generatorOn = [this](bool on) {
            onCalls.push_back(on);
            state.generator.On = on;
            settingsChanged();
        };
        hooks.generatorDialog = [this] { ++dialogs; };
        hooks.awgLoaded = [this] { return host.loaded; };
        panel = std::make_unique<GeneratorPanel>(nullptr, generatorPanelActions(state, loader, hooks));
        panel->resize(1100, 100);
        update();
        panel->show();
    }
    void settingsChanged() {
        ++notifications;
        update();
    }
    void update() {
        AwgPanelStatus awg;
        awg.loaded = host.loaded;
        awg.statusText = loader.statusText();
        awg.statusCountdown = host.countdown;
        panel->update(state, awg, loader.marks(), loader.marksRevision());
    }
    void doubleClick(QWidget* w) {
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    QToolButton* button(const char* name) { return child<QToolButton>(panel.get(), name); }
    QLabel* label(const char* name) { return child<QLabel>(panel.get(), name); }
    QScrollBar* bar(const char* name) { return child<QScrollBar>(panel.get(), name); }
    bool shown(QWidget* w) { return w->isVisibleTo(panel.get()); }

    core::InstrumentState state;
    LoaderHost host;
    AwgLoader loader{state, host,
                     (std::filesystem::temp_directory_path() / "kx_panel_test_kxg.lst").string()};
    std::unique_ptr<GeneratorPanel> panel;
    int notifications = 0;
    int dialogs = 0;
    std::vector<bool> onCalls;
};

TEST_F(PanelFixture, EveryControlByName) {
    EXPECT_EQ(panel->objectName(), "Panel_Gen_Ctrl");
    child<QFrame>(panel.get(), "Panel_Gen");
    child<QFrame>(panel.get(), "Panel_AWG_Run");
    for (const char* name :
         {"SpeedButton_GenOn", "SpeedButton_10K_5S", "SpeedButton_100K_500mS", "SpeedButton_1M_50mS",
          "SpeedButton_10M_5mS", "SpeedButton_100M_500uS", "SpeedButton_50uS_Noise", "SpeedButton_Sin",
          "SpeedButton_Rect", "SpeedButton_Trian", "SpeedButton_Up_Trian", "SpeedButton_Dn_Trian",
          "SpeedButton_Sweep", "SpeedButton_Pulse", "SpeedButton_Mod", "SpeedButton_AWG",
          "SpeedButton_AWG_Run"})
        button(name);
    for (const char* name : {"Label_F", "Label_V", "Label_Mod", "Label_Pulse", "Label_Vrms"}) label(name);
    EXPECT_EQ(bar("ScrollBar_TF_1")->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar("ScrollBar_TF_0")->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar("ScrollBar_Amplitude")->orientation(), Qt::Vertical);
    child<QComboBox>(panel.get(), "ComboBox_AWG");
}

TEST_F(PanelFixture, ControlsEditTheStateAndShowIt) {
    EXPECT_EQ(label("Label_F")->text(), "1.00 KHz");
    button("SpeedButton_10M_5mS")->click();
    EXPECT_EQ(state.generator.FMult, 3);
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(button("SpeedButton_10M_5mS")->isChecked());
    EXPECT_FALSE(button("SpeedButton_100K_500mS")->isChecked());
    EXPECT_FALSE(button("SpeedButton_Rect")->isEnabled());
    EXPECT_EQ(label("Label_F")->text(), "100 KHz");

    bar("ScrollBar_Amplitude")->setValue(1000);
    EXPECT_EQ(state.generator.Ampl, 3000);
    EXPECT_EQ(label("Label_V")->text(), "3.000 V");

    button("SpeedButton_Sweep")->click();
    EXPECT_EQ(state.generator.Function, GenFunction::Sweep);
    EXPECT_FALSE(shown(button("SpeedButton_50uS_Noise")));
    bar("ScrollBar_TF_1")->setValue(10000);
    EXPECT_EQ(state.generator.FSweep, 10000);
    bar("ScrollBar_TF_0")->setValue(4000);
    EXPECT_EQ(state.generator.FStart, 4000) << "start follows the stop down";
    EXPECT_EQ(bar("ScrollBar_TF_1")->value(), 4000);

    button("SpeedButton_Pulse")->click();
    EXPECT_EQ(state.generator.Function, GenFunction::Pulse);
    EXPECT_FALSE(button("SpeedButton_Sweep")->isChecked());
    EXPECT_EQ(button("SpeedButton_10K_5S")->text(), "5 S");
    EXPECT_TRUE(button("SpeedButton_10M_5mS")->isChecked()) << "TMult 2";
    EXPECT_FALSE(shown(button("SpeedButton_Sin")));
    EXPECT_TRUE(shown(label("Label_Pulse")));
    EXPECT_EQ(label("Label_Pulse")->text(), "50.000 %  1.0000 KHz");
    button("SpeedButton_Pulse")->click();
    EXPECT_EQ(state.generator.Function, GenFunction::Plain);

    button("SpeedButton_Mod")->click();
    EXPECT_TRUE(shown(label("Label_Mod")));
    EXPECT_EQ(label("Label_Mod")->text(), "AM 70.0%   100 Hz");
    EXPECT_FALSE(shown(label("Label_Vrms")));
}

TEST_F(PanelFixture, OnButtonAndLabelColours) {
    const auto text = [](QLabel* l) { return l->palette().color(QPalette::WindowText).rgb(); };
    const core::ColorRoles& c = state.display.colors;
    EXPECT_EQ(text(label("Label_F")), display::toQRgb(c.ColorGridFrame));
    EXPECT_EQ(label("Label_F")->palette().color(QPalette::Window).rgb(), display::toQRgb(c.ColorBorder));
    button("SpeedButton_GenOn")->click();
    EXPECT_EQ(onCalls, std::vector<bool>{false});
    EXPECT_FALSE(button("SpeedButton_GenOn")->isChecked());
    EXPECT_EQ(text(label("Label_V")), display::toQRgb(display::fade(c.ColorGridFrame, c.ColorBorder, 1.5)));
    state.generator.On = true;
    update();
    EXPECT_TRUE(button("SpeedButton_GenOn")->isChecked());
    EXPECT_EQ(onCalls.size(), 1u) << "showing the state reports nothing";
}

TEST_F(PanelFixture, AwgFunctionWithMarksRunAndDoubleClicks) {
    // Double clicks outside AWG open the dialog.
    doubleClick(child<QFrame>(panel.get(), "Panel_Gen"));
    doubleClick(label("Label_Mod"));
    EXPECT_EQ(dialogs, 2);
    doubleClick(label("Label_F"));
    EXPECT_EQ(dialogs, 2);

    button("SpeedButton_AWG")->click();
    EXPECT_FALSE(shown(button("SpeedButton_10K_5S")));
    EXPECT_TRUE(shown(child<QComboBox>(panel.get(), "ComboBox_AWG")));
    EXPECT_TRUE(shown(button("SpeedButton_AWG_Run")));
    EXPECT_EQ(label("Label_Mod")->text(), "File not loaded");
    button("SpeedButton_AWG_Run")->click();
    EXPECT_EQ(host.runs, 0) << "RUN needs a loaded program";

    // In AWG function the panel's double click opens the file dialog.
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kx_panel_" + std::to_string(::getpid()) + ".kxg"))
            .string();
    std::ofstream(path) << "#CLOCK 20000\n#AUTOR 0\ntop: OUT 0; JMP top\n";
    host.dialogs.opened.push_back(path);
    doubleClick(label("Label_Pulse"));
    EXPECT_EQ(host.dialogs.dialog.title, "Open AWG file");
    EXPECT_EQ(host.uploads, 1);
    host.loaded = true;
    update();
    auto* marks = child<QComboBox>(panel.get(), "ComboBox_AWG");
    ASSERT_EQ(marks->count(), 3);
    EXPECT_EQ(marks->itemText(2), "top");
    EXPECT_EQ(label("Label_F")->text(), "100 uS");
    EXPECT_EQ(label("Label_Mod")->text(),
              QString::fromStdString(std::filesystem::path(path).stem().string()));
    marks->activated(1);
    EXPECT_EQ(state.generator.AwgMark, 0);
    button("SpeedButton_AWG_Run")->click();
    EXPECT_EQ(host.runs, 1);

    // Label_F offers the script's period.
    state.generator.AwgCoarse = 0;
    state.generator.AwgFine = 5;
    host.dialogs.answers.push_back(core::Answer::Yes);
    doubleClick(label("Label_F"));
    EXPECT_EQ(host.dialogs.shown.back().text, "Restore default value?");
    EXPECT_EQ(state.generator.AwgCoarse, 2);
    EXPECT_EQ(state.generator.AwgFine, 0);
    EXPECT_EQ(label("Label_F")->text(), "100 uS");
    std::filesystem::remove(path);
}

} // namespace
} // namespace kx::generator
