// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the generator panel, the generator dialog and an AWG compiler message, for looking
// at them: generator_form_shots DIR writes PNG files into DIR.
#include "app/window/QtPrompt.h"
#include "generator/AwgLoader.h"
#include "generator/forms/GeneratorPanel.h"
#include "generator/forms/TForm_GeneratorSet.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

using namespace kx;

class ShotHost : public generator::AwgLoaderHost {
public:
    explicit ShotHost(core::Prompt& p) : m_prompt(p) {}
    core::Prompt& prompt() override { return m_prompt; }
    void markBusy(bool) override {}
    bool awgLoaded() override { return true; }
    void uploadAwg(std::span<const std::int32_t, generator::kAwgWords>, bool) override {}
    void raiseAwgRun() override {}
    void settingsChanged() override {}
    void setStatusCountdown(int) override {}

private:
    core::Prompt& m_prompt;
};

void save(QWidget* w, const std::string& dir, const char* name) {
    const std::string path = dir + "/" + name + ".png";
    if (!w->grab().save(QString::fromStdString(path)))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::string dir = argc > 1 ? argv[1] : ".";
    std::filesystem::create_directories(dir);

    app::QtPrompt prompt(nullptr);
    core::InstrumentState s;
    s.system.RussianUi = false;
    s.generator.On = true;
    ShotHost host(prompt);
    generator::AwgLoader loader(s, host, dir + "/kxg.lst");

    generator::GeneratorPanel panel(nullptr, {});
    panel.resize(760, 90);
    panel.show();
    const auto shoot = [&](const char* name, const std::function<void(core::InstrumentState&)>& set) {
        core::InstrumentState t = s;
        set(t);
        generator::AwgPanelStatus awg;
        awg.loaded = true;
        awg.awgState = 0;
        panel.update(t, awg, loader.marks(), loader.marksRevision());
        QApplication::processEvents();
        save(&panel, dir, name);
    };
    shoot("panel_plain", [](auto& t) {
        t.generator.FMult = 2;
        t.generator.FFast = 1000;
        t.generator.FSlow = 500;
    });
    shoot("panel_plain_off", [](auto& t) { t.generator.On = false; });
    shoot("panel_sweep", [](auto& t) { t.generator.Function = core::GenFunction::Sweep; });
    shoot("panel_pulse", [](auto& t) {
        t.generator.Function = core::GenFunction::Pulse;
        t.generator.TPulse = 300;
    });
    shoot("panel_modulation", [](auto& t) {
        t.generator.Function = core::GenFunction::Modulation;
        t.generator.Mod_Type = core::kModFm;
        t.generator.MF_Slow = 250;
    });
    shoot("panel_analyzer", [](auto& t) {
        t.analyzer.NA = true;
        t.generator.Function = core::GenFunction::Sweep;
        t.generator.FMult = 3;
    });

    const std::string script = dir + "/staircase.kxg";
    std::ofstream(script)
        << "#CLOCK 20000\n#AMP 80\n#AUTOR 0\nstart: OUT 0; OUT 1024; OUT 2048\nstep: OUT 3072\n"
           "JMP start\n";
    loader.loadUnattended(script);
    shoot("panel_awg", [](auto&) {});
    shoot("panel_awg_russian", [](auto& t) { t.system.RussianUi = true; });

    generator::TForm_GeneratorSet dialog(
        nullptr, s, [] {}, [] {});
    s.generator.Function = core::GenFunction::Modulation;
    dialog.show();
    QApplication::processEvents();
    save(&dialog, dir, "dialog_english");
    dialog.hide();
    s.system.RussianUi = true;
    s.system.DebugMode = true;
    s.generator.Mod_Src = core::kModSrcA1;
    s.generator.Mod_Type = core::kModFm;
    s.generator.Gen_Load = 500;
    dialog.show();
    QApplication::processEvents();
    save(&dialog, dir, "dialog_russian_debug");
    dialog.hide();

    // A failing script with messages: the error box as the program shows it.
    s.system.RussianUi = false;
    const std::string bad = dir + "/broken.kxg";
    std::ofstream(bad) << "start: OUT 0\nJMP nowhere\n";
    QTimer::singleShot(200, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            save(box, dir, "awg_error");
            box->close();
        }
    });
    loader.compile(bad, false);
    s.system.RussianUi = true;
    QTimer::singleShot(200, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            save(box, dir, "awg_error_russian");
            box->close();
        }
    });
    loader.compile(bad, false);
    QTimer::singleShot(200, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            save(box, dir, "awg_success");
            box->close();
        }
    });
    s.system.RussianUi = false;
    loader.compile(script, false);
    return 0;
}
