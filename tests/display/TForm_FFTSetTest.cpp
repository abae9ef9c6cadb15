// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/forms/TForm_FFTSet.h"

#include "core/DeviceModel.h"

#include "support/ModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kx::display {
namespace {

using kx::testing::child;
using kx::testing::whenModal;

QRadioButton* item(QWidget* w, const char* group, int index) {
    const QList<QRadioButton*> items = child<QGroupBox>(w, group)->findChildren<QRadioButton*>();
    return items.value(index);
}

QStringList itemTexts(QWidget* w, const char* group) {
    QStringList out;
    for (QRadioButton* b : child<QGroupBox>(w, group)->findChildren<QRadioButton*>()) out << b->text();
    return out;
}

class FftSetDialog : public ::testing::Test {
protected:
    core::InstrumentState state;
    int refreshes = 0;
    int restarts = 0;
    QWidget parent;
    std::unique_ptr<TForm_FFTSet> dialog;

    void SetUp() override {
        state.system.RussianUi = false;
        state.system.UiDeviceType = core::kKX4823;
        parent.setGeometry(200, 150, 900, 600);
        FftDialogHooks hooks;
        hooks.refresh = [this] { ++refreshes; };
        hooks.restartAndRecompute = [this] { ++restarts; };
        dialog = std::make_unique<TForm_FFTSet>(&parent, state, hooks);
    }
    void TearDown() override {
        dialog->hide();
        dialog.reset();
    }
};

TEST_F(FftSetDialog, ShowsTheSettingsInBothLanguages) {
    state.fft.Size = 3;
    state.fft.Win = 5;
    state.fft.Ave = 6;
    state.fft.dbv_v = true;
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "FFT Settings");
        EXPECT_EQ(child<QGroupBox>(w, "RadioGroup_Size")->title(), "Points");
        EXPECT_EQ(itemTexts(w, "RadioGroup_Size").join(","), "1024,2048,4096,8192,16384,32768,Auto");
        EXPECT_EQ(itemTexts(w, "RadioGroup_Win").value(5), QString::fromUtf8("Blackman\u2013Harris"));
        EXPECT_EQ(itemTexts(w, "RadioGroup_Scale").join(","), "dBV,dBm (50 Ohm),dBm (75 Ohm),dBm (600 Ohm)");
        EXPECT_EQ(itemTexts(w, "RadioGroup_Ave").join(","), "2,4,8,16,32,64,Inf");
        EXPECT_EQ(itemTexts(w, "RadioGroup_Zoom").join(","), "None,2x,5x,10x,20x,50x,100x,200x,500x");
        EXPECT_TRUE(item(w, "RadioGroup_Size", 3)->isChecked());
        EXPECT_TRUE(item(w, "RadioGroup_Win", 5)->isChecked());
        EXPECT_TRUE(item(w, "RadioGroup_Ave", 6)->isChecked());
        EXPECT_TRUE(child<QCheckBox>(w, "CheckBox_dbv_v")->isChecked());
        EXPECT_EQ(child<QCheckBox>(w, "CheckBox_15dB_div")->text(), "15 dB/Div");
        EXPECT_EQ(child<QCheckBox>(w, "CheckBox_Calc_Both")->text(), "Calc. Both Ch.");
        EXPECT_FALSE(child<QCheckBox>(w, "CheckBox_Calc_Both")->isHidden());
        EXPECT_EQ(child<QPushButton>(w, "Button_Cancel")->text(), "Cancel");
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
    EXPECT_EQ(refreshes, 0); // loading the controls runs no handler

    state.system.RussianUi = true;
    state.system.UiDeviceType = core::kKX4820; // no generator, no A2
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Установки БПФ"));
        EXPECT_EQ(child<QGroupBox>(w, "RadioGroup_Win")->title(), QString::fromUtf8("Весовое окно"));
        EXPECT_EQ(itemTexts(w, "RadioGroup_Win").value(7), QString::fromUtf8("Блэкмана \u2014 Наталла"));
        EXPECT_EQ(itemTexts(w, "RadioGroup_Size").value(6), QString::fromUtf8("Авто"));
        EXPECT_EQ(itemTexts(w, "RadioGroup_Ave").value(6), QString::fromUtf8("Беск."));
        EXPECT_EQ(itemTexts(w, "RadioGroup_Zoom").value(0), QString::fromUtf8("Нет"));
        EXPECT_EQ(child<QCheckBox>(w, "CheckBox_View_Sig")->text(), QString::fromUtf8("Отображ. сигнал"));
        EXPECT_EQ(child<QPushButton>(w, "Button_Cancel")->text(), QString::fromUtf8("Отмена"));
        EXPECT_TRUE(child<QCheckBox>(w, "CheckBox_Calc_Both")->isHidden());
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
}

TEST_F(FftSetDialog, EveryControlActsAtOnceAndOkKeepsIt) {
    whenModal([&](QWidget* w) {
        item(w, "RadioGroup_Scale", 2)->click();
        EXPECT_EQ(state.fft.Scale, 2);
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(restarts, 0);
        item(w, "RadioGroup_Win", 0)->click();
        EXPECT_EQ(state.fft.Win, 0);
        EXPECT_EQ(restarts, 1);
        child<QCheckBox>(w, "CheckBox_Ave_On")->click();
        EXPECT_TRUE(state.fft.Ave_On);
        EXPECT_EQ(restarts, 2);
        item(w, "RadioGroup_Zoom", 4)->click();
        EXPECT_EQ(state.fft.Zoom, 4);
        child<QCheckBox>(w, "CheckBox_View_Sig")->click();
        EXPECT_FALSE(state.fft.View_Sig);
        EXPECT_EQ(refreshes, 5);
        child<QPushButton>(w, "Button_OK")->click();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(state.fft.Scale, 2);
    EXPECT_EQ(state.fft.Win, 0);
}

TEST_F(FftSetDialog, CancelRestoresAndRestartsWhenTheSpectraChanged) {
    const core::FftState before = state.fft;
    whenModal([&](QWidget* w) {
        item(w, "RadioGroup_Scale", 3)->click();
        child<QCheckBox>(w, "CheckBox_15dB_div")->click();
        child<QPushButton>(w, "Button_Cancel")->click();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(state.fft.Scale, before.Scale);
    EXPECT_EQ(state.fft.dB15_div, before.dB15_div);
    EXPECT_EQ(restarts, 0); // nothing the spectra depend on

    whenModal([&](QWidget* w) {
        item(w, "RadioGroup_Size", 0)->click();
        EXPECT_EQ(restarts, 1);
        dialog->reject(); // Esc, the close box
    });
    dialog->exec();
    EXPECT_EQ(state.fft.Size, before.Size);
    EXPECT_EQ(restarts, 2);
}

} // namespace
} // namespace kx::display
