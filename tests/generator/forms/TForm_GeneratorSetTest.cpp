// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/forms/TForm_GeneratorSet.h"

#include "core/DeviceModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kx::generator {
namespace {

template <class T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class GeneratorSetDialog : public ::testing::Test {
protected:
    core::InstrumentState state;
    int settingsChanged = 0;
    int phaseSync = 0;
    QWidget parent;
    std::unique_ptr<TForm_GeneratorSet> dialog;

    void SetUp() override {
        state.system.RussianUi = false;
        state.system.UiDeviceType = core::kKX4823;
        parent.setGeometry(200, 150, 800, 600);
        dialog = std::make_unique<TForm_GeneratorSet>(
            &parent, state, [this] { ++settingsChanged; }, [this] { ++phaseSync; });
    }
    void TearDown() override {
        dialog->hide();
        dialog.reset();
    }
    QToolButton* button(const char* name) { return child<QToolButton>(dialog.get(), name); }
    QLabel* label(const char* name) { return child<QLabel>(dialog.get(), name); }
    QScrollBar* bar(const char* name) { return child<QScrollBar>(dialog.get(), name); }
    QCheckBox* box(const char* name) { return child<QCheckBox>(dialog.get(), name); }
};

TEST_F(GeneratorSetDialog, EveryControlByName) {
    for (const char* name : {"SpeedButton_DC_Positiv",  "SpeedButton_DC_Mean",
                             "SpeedButton_DC_Negativ",  "SpeedButton_DC_Symmetrical",
                             "SpeedButton_AM",          "SpeedButton_FM",
                             "SpeedButton_PM",          "SpeedButton_SUM",
                             "SpeedButton_Src_Int",     "SpeedButton_Src_A1",
                             "SpeedButton_Src_A2",      "SpeedButton_Src_D1",
                             "SpeedButton_Src_D2",      "SpeedButton_Src_D3",
                             "SpeedButton_Src_D4",      "SpeedButton_Src_Pulse",
                             "SpeedButton_Src_AWG",     "SpeedButton_MF_10K",
                             "SpeedButton_MF_100K",     "SpeedButton_MF_1M",
                             "SpeedButton_MF_10M",      "SpeedButton_MF_100M",
                             "SpeedButton_MF_Sin",      "SpeedButton_MF_Up_Trian",
                             "SpeedButton_MF_Dn_Trian", "SpeedButton_MF_Rect",
                             "SpeedButton_MF_Trian",    "SpeedButton_MF_Noise",
                             "SpeedButton_DF_10K",      "SpeedButton_DF_100K"})
        button(name);
    struct Bar {
        const char* name;
        int min, max;
    };
    for (const Bar& b : {Bar{"ScrollBar_DAC_SHIFT", -3000, 3300}, Bar{"ScrollBar_MF_Fast", 0, 10000},
                         Bar{"ScrollBar_MF_Slow", 0, 10000}, Bar{"ScrollBar_Mod_Param", 0, 1000},
                         Bar{"ScrollBar_Gen_Match", 16, 240}, Bar{"ScrollBar_Gen_Load", 0, 1000}}) {
        QScrollBar* s = bar(b.name);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->minimum(), b.min) << b.name;
        EXPECT_EQ(s->maximum(), b.max) << b.name;
    }
    for (const char* name : {"CheckBox_Inv", "CheckBox_Gen_Extra_Inv", "CheckBox_Sinxx_Corr",
                             "CheckBox_Gen_Corr", "CheckBox_Gen_200MHz", "CheckBox_Gen_Test"})
        box(name);
    EXPECT_TRUE(box("CheckBox_Sinxx_Corr")->isTristate());
    for (const char* name : {"Label_DAC_SHIFT", "Label_Mod_Src", "Label_MF", "Label_Mod_Param",
                             "Label_Gen_Extra_Sel", "Label_Gen_Match", "Label_Gen_Match_", "Label_Gen_Load"})
        label(name);
    for (const char* name :
         {"Button_DC_Zero", "Button_Sync_Ph", "Button_50_Ohm", "Button_OK", "Button_Cancel"})
        child<QPushButton>(dialog.get(), name);
    EXPECT_EQ(child<QComboBox>(dialog.get(), "ComboBox_Gen_Extra_Sel")->count(), 7);
}

TEST_F(GeneratorSetDialog, TextsInBothLanguages) {
    state.generator.DC_Shift = 9999; // opening limits it
    dialog->show();
    EXPECT_EQ(state.generator.DC_Shift, 3300);
    EXPECT_EQ(dialog->windowTitle(), "Generator Settings");
    EXPECT_EQ(child<QGroupBox>(dialog.get(), "GroupBox_DC")->title(), "DC Level");
    EXPECT_EQ(child<QGroupBox>(dialog.get(), "GroupBox_Mod")->title(), "Modulation");
    EXPECT_EQ(child<QGroupBox>(dialog.get(), "GroupBox_Advanced")->title(), "Advanced Settings");
    EXPECT_EQ(label("Label_DAC_SHIFT")->text(), "Most Negativ Level = 3.300 V");
    EXPECT_EQ(label("Label_MF")->text(), "Mod. Sig. Freq. = 100 Hz");
    EXPECT_EQ(label("Label_Mod_Param")->text(), "K AM = 70.0%");
    EXPECT_EQ(label("Label_Gen_Load")->text(), "External Load R = inf  (1.000)");
    EXPECT_EQ(button("SpeedButton_Src_Int")->text(), "Int");
    EXPECT_EQ(button("SpeedButton_FM")->text(), "FM");
    EXPECT_EQ(child<QPushButton>(dialog.get(), "Button_Cancel")->text(), "Cancel");
    EXPECT_EQ(settingsChanged, 0);
    dialog->hide();

    state.system.RussianUi = true;
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), u("Установки генератора"));
    EXPECT_EQ(child<QGroupBox>(dialog.get(), "GroupBox_DC")->title(), u("Постоянная составляющая"));
    EXPECT_EQ(child<QGroupBox>(dialog.get(), "GroupBox_Advanced")->title(), u("Дополнительные настройки"));
    EXPECT_EQ(label("Label_Mod_Src")->text(), u("Источник модулирующего сигнала"));
    EXPECT_EQ(label("Label_DAC_SHIFT")->text(), u("Минимальный уровень = 3.300 V"));
    EXPECT_EQ(label("Label_Mod_Param")->text(), u("Коэффициент АМ = 70.0%"));
    EXPECT_EQ(button("SpeedButton_FM")->text(), u("ЧМ"));
    EXPECT_EQ(button("SpeedButton_Src_AWG")->text(), u("ПФ"));
    EXPECT_EQ(button("SpeedButton_MF_Noise")->text(), u("Шум"));
    EXPECT_EQ(box("CheckBox_Inv")->text(), u("Инверсия"));
    EXPECT_EQ(box("CheckBox_Gen_Test")->text(), u("Отладочный"));
    EXPECT_EQ(child<QPushButton>(dialog.get(), "Button_50_Ohm")->text(), u("50 Ом"));
    EXPECT_EQ(child<QPushButton>(dialog.get(), "Button_Cancel")->text(), u("Отмена"));
}

TEST_F(GeneratorSetDialog, EnablingFollowsEveryChange) {
    dialog->show();
    // Debug-only controls.
    EXPECT_FALSE(child<QPushButton>(dialog.get(), "Button_Sync_Ph")->isVisibleTo(dialog.get()));
    EXPECT_FALSE(box("CheckBox_Gen_Test")->isVisibleTo(dialog.get()));
    EXPECT_FALSE(label("Label_Gen_Match_")->isVisibleTo(dialog.get()));
    EXPECT_FALSE(button("SpeedButton_DF_10K")->isEnabled());

    button("SpeedButton_MF_Noise")->click();
    EXPECT_EQ(state.generator.MF_Shape, core::kMfShapeNoise);
    EXPECT_FALSE(button("SpeedButton_MF_Sin")->isEnabled());
    EXPECT_FALSE(bar("ScrollBar_MF_Fast")->isEnabled());
    EXPECT_EQ(label("Label_MF")->text(), "Mod. Sig. Freq. = Noise");
    button("SpeedButton_MF_Noise")->click();
    EXPECT_TRUE(button("SpeedButton_MF_Sin")->isChecked());
    button("SpeedButton_MF_Rect")->click();
    EXPECT_EQ(state.generator.MF_Shape, 3);
    button("SpeedButton_MF_10M")->click();
    EXPECT_EQ(state.generator.MF_Shape, 0) << "sine forced";
    EXPECT_TRUE(button("SpeedButton_MF_Sin")->isChecked());
    EXPECT_FALSE(button("SpeedButton_MF_Rect")->isEnabled());

    button("SpeedButton_FM")->click();
    EXPECT_TRUE(button("SpeedButton_DF_10K")->isEnabled());
    button("SpeedButton_Src_A1")->click();
    EXPECT_EQ(state.generator.Mod_Src, core::kModSrcA1);
    EXPECT_FALSE(button("SpeedButton_MF_1M")->isEnabled());
    EXPECT_FALSE(label("Label_MF")->isEnabled());
    EXPECT_EQ(button("SpeedButton_DF_100K")->text(), "20K");
    EXPECT_EQ(label("Label_Mod_Param")->text(), "Dev. FM = 140.0 Hz / Div");

    auto* sinx = box("CheckBox_Sinxx_Corr");
    EXPECT_EQ(sinx->checkState(), Qt::PartiallyChecked);
    sinx->click();
    EXPECT_EQ(state.generator.Gen_Sinxx_Corr, sinx->checkState() == Qt::Checked ? 2 : 0);
    dialog->hide();

    // Debug mode, an analyzer, the AWG function, a compact model and stroboscopic sampling.
    state.system.DebugMode = true;
    state.analyzer.NA = true;
    state.generator.Function = core::GenFunction::Modulation;
    state.generator.On = true;
    state.scope.Strobo = true;
    dialog->show();
    EXPECT_TRUE(child<QPushButton>(dialog.get(), "Button_Sync_Ph")->isVisibleTo(dialog.get()));
    EXPECT_TRUE(label("Label_Gen_Match_")->isVisibleTo(dialog.get()));
    EXPECT_TRUE(sinx->isEnabled());
    EXPECT_FALSE(button("SpeedButton_Src_D2")->isEnabled());
    EXPECT_TRUE(button("SpeedButton_Src_Pulse")->isEnabled());
    child<QPushButton>(dialog.get(), "Button_Sync_Ph")->click();
    EXPECT_EQ(phaseSync, 1);
    dialog->hide();

    state.system.DebugMode = false;
    state.generator.Function = core::GenFunction::Awg;
    state.system.UiDeviceType = core::kKX4821;
    dialog->show();
    EXPECT_FALSE(sinx->isEnabled());
    EXPECT_FALSE(button("SpeedButton_DC_Mean")->isEnabled());
    EXPECT_FALSE(button("SpeedButton_Src_A2")->isVisibleTo(dialog.get()));
    dialog->hide();
    state.system.UiDeviceType = core::kTRM207Mini;
    dialog->show();
    EXPECT_FALSE(child<QGroupBox>(dialog.get(), "GroupBox_DC")->isVisibleTo(dialog.get()));
}

TEST_F(GeneratorSetDialog, CancelRestoresEveryFieldAndAppliesOnce) {
    const core::GeneratorState before = state.generator;
    dialog->show();
    bar("ScrollBar_DAC_SHIFT")->setValue(-1500);
    button("SpeedButton_DC_Symmetrical")->click();
    button("SpeedButton_PM")->click();
    button("SpeedButton_Src_D4")->click();
    box("CheckBox_Inv")->click();
    bar("ScrollBar_Mod_Param")->setValue(250);
    bar("ScrollBar_MF_Slow")->setValue(77);
    child<QComboBox>(dialog.get(), "ComboBox_Gen_Extra_Sel")->activated(3);
    bar("ScrollBar_Gen_Match")->setValue(100);
    child<QPushButton>(dialog.get(), "Button_50_Ohm")->click();
    EXPECT_EQ(state.generator.Gen_Extra_Sel, 3);
    EXPECT_EQ(state.generator.Gen_Load, 500);
    EXPECT_EQ(label("Label_DAC_SHIFT")->text(), "Symmetry Level = -1.500 V");
    EXPECT_EQ(label("Label_Gen_Load")->text(), "External Load R = 50.00 Ohm  (0.500)");
    const int changes = settingsChanged;
    EXPECT_EQ(changes, 10);

    dialog->reject();
    EXPECT_EQ(genDialogFields(state.generator), genDialogFields(before));
    EXPECT_EQ(settingsChanged, changes + 1) << "applied once more";
    EXPECT_FALSE(dialog->isVisible());

    // Nothing changed: nothing to apply.
    dialog->show();
    dialog->reject();
    EXPECT_EQ(settingsChanged, changes + 1);

    // OK keeps the changes.
    dialog->show();
    button("SpeedButton_SUM")->click();
    child<QPushButton>(dialog.get(), "Button_OK")->click();
    EXPECT_EQ(state.generator.Mod_Type, core::kModSum);
}

} // namespace
} // namespace kx::generator
