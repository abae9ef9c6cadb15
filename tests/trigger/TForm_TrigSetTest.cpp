// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/forms/TForm_TrigSet.h"

#include "core/DeviceModel.h"

#include "support/ModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kx::trigger {
namespace {

using kx::testing::child;
using kx::testing::whenModal;

QRadioButton* radioItem(QWidget* w, const char* group, int index) {
    auto* box = child<QGroupBox>(w, group);
    const QList<QRadioButton*> items = box->findChildren<QRadioButton*>();
    EXPECT_EQ(items.size(), 10) << group;
    return items.value(index);
}

class TrigSetDialog : public ::testing::Test {
protected:
    core::InstrumentState state;
    int settingsChanged = 0;
    int triggerChanged = 0;
    QWidget parent;
    std::unique_ptr<TForm_TrigSet> dialog;

    void SetUp() override {
        state.system.RussianUi = false;
        state.system.UiDeviceType = core::kKX4821;
        parent.setGeometry(200, 150, 800, 600);
        dialog = std::make_unique<TForm_TrigSet>(
            &parent, state, [this] { ++settingsChanged; }, [this] { ++triggerChanged; });
    }
    void TearDown() override {
        dialog->hide();
        dialog.reset();
    }
};

TEST_F(TrigSetDialog, EveryControlByName) {
    const char* toolButtons[] = {
        "SpeedButton_Same_Lev",    "SpeedButton_Rise_Pul",   "SpeedButton_Fall_Pul",
        "SpeedButton_Rise_Per",    "SpeedButton_Fall_Per",   "SpeedButton_Rise_Runt",
        "SpeedButton_Fall_Runt",   "SpeedButton_Rise_Slew",  "SpeedButton_Fall_Slew",
        "SpeedButton_Extra_Rise",  "SpeedButton_Extra_Fall", "SpeedButton_Extra2_Rise",
        "SpeedButton_Extra2_Fall", "SpeedButton_Video",      "SpeedButton_Video_Inv",
        "SpeedButton_T10uS",       "SpeedButton_T100uS",     "SpeedButton_T1mS",
        "SpeedButton_T10mS",       "SpeedButton_T100mS",     "SpeedButton_T1S",
    };
    for (const char* name : toolButtons) child<QToolButton>(dialog.get(), name);
    struct Bar {
        const char* name;
        int min, max;
    };
    for (const Bar& b : {Bar{"ScrollBar_Lev_D123", 0, 1300}, Bar{"ScrollBar_Lev_D4", 0, 1300},
                         Bar{"ScrollBar_Trig_Tmin", 0, 1999}, Bar{"ScrollBar_Trig_Tmax", 1, 2000},
                         Bar{"ScrollBar_Trig_Extra_N", 1, 1000}}) {
        auto* bar = child<QScrollBar>(dialog.get(), b.name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum(), b.min) << b.name;
        EXPECT_EQ(bar->maximum(), b.max) << b.name;
    }
    for (const char* name : {"CheckBox_Trig_T_Mode", "CheckBox_LevA1", "CheckBox_LevA2", "CheckBox_LevD1",
                             "CheckBox_LevD2", "CheckBox_LevD3", "CheckBox_LevD4"}) {
        auto* box = child<QCheckBox>(dialog.get(), name);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isTristate()) << name;
    }
    for (const char* name :
         {"Label_Lev_D123", "Label_Lev_D4", "Label_Trig_Mode", "Label_Lev", "Label_Trig_Extra_N"})
        child<QLabel>(dialog.get(), name);
    radioItem(dialog.get(), "RadioGroup_PreTrig", 0);
    radioItem(dialog.get(), "RadioGroup_NR", 0);
    child<QPushButton>(dialog.get(), "Button_OK");
    child<QPushButton>(dialog.get(), "Button_Cancel");
}

TEST_F(TrigSetDialog, ShowsTheStateInTheLanguageOfTheMoment) {
    state.trigger.Pre = 3;
    state.trigger.Mode = core::kTrigModePeriod;
    state.trigger.Edge = true;
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), "Trigger Settings");
    EXPECT_TRUE(radioItem(dialog.get(), "RadioGroup_PreTrig", 3)->isChecked());
    EXPECT_EQ(radioItem(dialog.get(), "RadioGroup_NR", 1)->text(), "0.1 Div");
    EXPECT_TRUE(child<QToolButton>(dialog.get(), "SpeedButton_Fall_Per")->isChecked());
    EXPECT_FALSE(child<QToolButton>(dialog.get(), "SpeedButton_Rise_Per")->isChecked());
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Trig_Mode")->text(), "Period Trigger");
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Lev_D123")->text(), "D1 - D3 = 1.65 V");
    EXPECT_EQ(child<QCheckBox>(dialog.get(), "CheckBox_Trig_T_Mode")->text(), "T = any");
    EXPECT_EQ(settingsChanged, 0); // showing changes nothing
    dialog->hide();

    state.system.RussianUi = true;
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Настройки синхронизации"));
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Trig_Mode")->text(),
              QString::fromUtf8("Синхронизация по периоду"));
    EXPECT_EQ(child<QCheckBox>(dialog.get(), "CheckBox_Trig_T_Mode")->text(),
              QString::fromUtf8("T не учитывается"));
}

TEST_F(TrigSetDialog, ControlsEditTheStateLive) {
    dialog->show();
    radioItem(dialog.get(), "RadioGroup_PreTrig", 2)->click();
    EXPECT_EQ(state.trigger.Pre, 2);
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_EQ(triggerChanged, 0);

    child<QToolButton>(dialog.get(), "SpeedButton_Fall_Pul")->click();
    EXPECT_EQ(state.trigger.Mode, core::kTrigModePulseWidth);
    EXPECT_TRUE(state.trigger.Edge);
    EXPECT_EQ(settingsChanged, 2);
    EXPECT_EQ(triggerChanged, 1);

    auto* tmode = child<QCheckBox>(dialog.get(), "CheckBox_Trig_T_Mode");
    auto* tmin = child<QScrollBar>(dialog.get(), "ScrollBar_Trig_Tmin");
    auto* tmax = child<QScrollBar>(dialog.get(), "ScrollBar_Trig_Tmax");
    EXPECT_FALSE(tmin->isEnabled());
    tmode->click(); // any -> inside
    EXPECT_EQ(tmode->checkState(), Qt::Checked);
    EXPECT_EQ(state.trigger.T_Mode, core::kTimeModeInside);
    EXPECT_TRUE(tmin->isEnabled());
    child<QToolButton>(dialog.get(), "SpeedButton_T1S")->click();
    tmin->setValue(1999);
    EXPECT_EQ(state.trigger.Tmin, 1999);
    EXPECT_EQ(state.trigger.Tmax, 2000);
    EXPECT_EQ(tmax->value(), 2000);
    EXPECT_EQ(tmode->text(), "T inside   999.5 mS ... 1.0000 S");
    EXPECT_EQ(settingsChanged, 5);
    EXPECT_EQ(triggerChanged, 4);

    // A level box goes unchecked, "=1", "=0".
    auto* d1 = child<QCheckBox>(dialog.get(), "CheckBox_LevD1");
    d1->click();
    EXPECT_EQ(d1->text(), "D1=1");
    d1->click();
    EXPECT_EQ(d1->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(d1->text(), "D1=0");
    EXPECT_EQ(state.trigger.Lev_Mask, core::kLevBitD1);
    EXPECT_EQ(state.trigger.Levels, 0);
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Lev")->text(), "En = ~D1");
}

TEST_F(TrigSetDialog, VideoButtonLeavesTheTriggerFlagAlone) {
    state.trigger.Hyst = 6;
    state.trigger.Lev_Mask = 0x04;
    dialog->show();
    child<QToolButton>(dialog.get(), "SpeedButton_Video")->click();
    EXPECT_EQ(state.trigger.Mode, core::kTrigModeVideo);
    EXPECT_EQ(state.trigger.Hyst, 1);
    EXPECT_EQ(state.trigger.Lev_Mask, 0);
    EXPECT_TRUE(radioItem(dialog.get(), "RadioGroup_NR", 1)->isChecked());
    EXPECT_EQ(child<QCheckBox>(dialog.get(), "CheckBox_LevD1")->checkState(), Qt::Unchecked);
    EXPECT_EQ(triggerChanged, 0);
    EXPECT_EQ(settingsChanged, 1);

    auto* count = child<QScrollBar>(dialog.get(), "ScrollBar_Trig_Extra_N");
    EXPECT_EQ(count->maximum(), 625);
    EXPECT_TRUE(count->isEnabled());
    count->setValue(600);
    EXPECT_EQ(state.trigger.Extra_N, 600);
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Trig_Extra_N")->text(), "Video Line = 600  (NTSC  75)");
    EXPECT_FALSE(child<QCheckBox>(dialog.get(), "CheckBox_Trig_T_Mode")->isEnabled());
    EXPECT_EQ(triggerChanged, 1);
}

TEST_F(TrigSetDialog, RuntButtonsNeedAnAnalogSource) {
    state.trigger.Src = 2;
    state.trigger.Mode = core::kTrigModeRunt;
    dialog->show();
    for (const char* name :
         {"SpeedButton_Rise_Runt", "SpeedButton_Fall_Runt", "SpeedButton_Rise_Slew", "SpeedButton_Fall_Slew"})
        EXPECT_FALSE(child<QToolButton>(dialog.get(), name)->isEnabled()) << name;
    EXPECT_TRUE(child<QToolButton>(dialog.get(), "SpeedButton_Rise_Pul")->isEnabled());
    EXPECT_EQ(child<QLabel>(dialog.get(), "Label_Trig_Mode")->text(), "Not applicable to D chanel (T = 0)");
    EXPECT_FALSE(child<QCheckBox>(dialog.get(), "CheckBox_LevD1")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(dialog.get(), "CheckBox_LevA2")->isVisible());
    dialog->hide();

    state.system.UiDeviceType = core::kKX4820; // no A2 channel
    dialog->show();
    EXPECT_FALSE(child<QCheckBox>(dialog.get(), "CheckBox_LevA2")->isVisible());
}

TEST_F(TrigSetDialog, CancelAfterOnlyPreTriggerSendsOneFrameWithoutTheFlag) {
    whenModal([](QWidget* w) {
        radioItem(w, "RadioGroup_PreTrig", 0)->click();
        child<QPushButton>(w, "Button_Cancel")->click();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(state.trigger.Pre, 5);
    EXPECT_EQ(settingsChanged, 2); // the click, then the restore
    EXPECT_EQ(triggerChanged, 0);
}

TEST_F(TrigSetDialog, CancelRestoresConditionsAndOkKeepsThem) {
    whenModal([](QWidget* w) {
        child<QToolButton>(w, "SpeedButton_Extra_Fall")->click();
        child<QScrollBar>(w, "ScrollBar_Lev_D4")->setValue(400);
        w->close(); // closing the window is a Cancel
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(state.trigger.Mode, core::kTrigModePulseWidth);
    EXPECT_FALSE(state.trigger.Edge);
    EXPECT_EQ(state.trigger.D4_Lev, 165);
    EXPECT_EQ(triggerChanged, 2); // the button, then the restore
    EXPECT_EQ(settingsChanged, 3);

    whenModal([](QWidget* w) {
        child<QToolButton>(w, "SpeedButton_Extra_Fall")->click();
        child<QPushButton>(w, "Button_OK")->click();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(state.trigger.Mode, core::kTrigModePulseNTime);
    EXPECT_TRUE(state.trigger.Edge);
    EXPECT_EQ(triggerChanged, 3);
    EXPECT_EQ(settingsChanged, 4);
}

TEST_F(TrigSetDialog, CentredOnTheParentAtEveryShowing) {
    parent.show();
    for (const QPoint movedTo : {QPoint(-1, -1), QPoint(5, 5)}) {
        if (movedTo.x() >= 0) dialog->move(movedTo); // where the user left it last time
        QPoint dialogCentre, parentCentre;
        whenModal([&](QWidget* w) {
            dialogCentre = w->frameGeometry().center();
            parentCentre = parent.frameGeometry().center();
            w->close();
        });
        dialog->exec();
        EXPECT_LE((dialogCentre - parentCentre).manhattanLength(), 2) << movedTo.x();
    }
    parent.hide();
}

} // namespace
} // namespace kx::trigger
