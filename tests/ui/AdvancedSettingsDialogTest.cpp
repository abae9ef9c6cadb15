// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AdvancedSettingsDialog.h"
#include "core/DeviceModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace kx;

namespace {

const QColor kFuchsia(255, 0, 255);

// The dialog over a state with a comma as the decimal separator and the notifications counted.
class AdvancedDialogFixture : public ::testing::Test {
public:
    void SetUp() override { make(','); }

    void make(char separator) {
        ui::AdvancedDialogHooks hooks;
        hooks.settingsChanged = [this] { ++settingsChanges; };
        hooks.refresh = [this] { ++refreshes; };
        hooks.decimalSeparator = separator;
        dialog = std::make_unique<ui::AdvancedSettingsDialog>(nullptr, state, hooks);
    }

    template <typename W> W* find(const char* name) const {
        W* w = dialog->findChild<W*>(name);
        if (!w) ADD_FAILURE() << name;
        return w;
    }
    QLineEdit* edit() const { return find<QLineEdit>("Edit_Vel_Factor"); }
    QScrollBar* bar() const { return find<QScrollBar>("ScrollBar_AD_Match"); }
    QCheckBox* box(const char* name) const { return find<QCheckBox>(name); }
    QColor editColour() const { return edit()->palette().color(QPalette::Base); }
    void resetCounts() { settingsChanges = refreshes = 0; }

    core::InstrumentState state;
    std::unique_ptr<ui::AdvancedSettingsDialog> dialog;
    int settingsChanges = 0;
    int refreshes = 0;
};

void pressEscape(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST_F(AdvancedDialogFixture, ShowingLoadsTheControlsWithoutNotifying) {
    state.system.AD_Match = 136;
    state.system.Vel_Factor = 660;
    state.system.Refl_Cursors = true;
    state.system.Analog_BW_Flt = false;
    state.system.IQ_Win_En = false;
    state.system.Use_ADC_0 = false;
    dialog->show();
    EXPECT_EQ(dialog->objectName(), "TForm_ASet");
    EXPECT_EQ(bar()->minimum(), 16);
    EXPECT_EQ(bar()->maximum(), 240);
    EXPECT_EQ(bar()->pageStep(), 8);
    EXPECT_EQ(bar()->value(), 136);
    EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), "5,000 nS");
    EXPECT_EQ(edit()->text(), "66,0");
    EXPECT_NE(editColour(), kFuchsia);
    EXPECT_TRUE(box("CheckBox_Refl_Cursors")->isChecked());
    EXPECT_FALSE(box("CheckBox_Analog_BW_Flt")->isChecked());
    EXPECT_TRUE(box("CheckBox_Digital_BW_Flt")->isChecked());
    EXPECT_FALSE(box("CheckBox_IQ_Win_En")->isChecked());
    EXPECT_TRUE(box("CheckBox_Dither_En")->isChecked());
    EXPECT_FALSE(box("CheckBox_Use_ADC_0")->isChecked());
    EXPECT_EQ(dialog->focusWidget(), find<QPushButton>("Button_Cancel"));
    EXPECT_EQ(settingsChanges, 0);
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(ui::advancedFieldsOf(state.system),
              (ui::AdvancedFields{136, 660, true, false, true, false, true, false}));
}

TEST_F(AdvancedDialogFixture, ValueOutsideTheBarIsKeptUntilTheBarMoves) {
    state.system.AD_Match = 0; // a settings file allows 0..255
    dialog->show();
    EXPECT_EQ(bar()->value(), 16);
    EXPECT_EQ(state.system.AD_Match, 0);
    EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), "-80,000 nS");
    EXPECT_EQ(settingsChanges, 0);
}

TEST_F(AdvancedDialogFixture, ControlsShownByModelAndDebugMode) {
    struct Case {
        std::int32_t model;
        bool debug;
        bool filters;
        bool debugBoxes;
        const char* readout;
    };
    const Case cases[] = {
        {core::kKX4821, false, true, false, "0,000 nS"},
        {core::kKX4823, true, true, true, "0,000 nS  (128)"},
        {core::kTRM207Mini, false, false, false, "0,000 nS"},
        {core::kTRM207Mini, true, false, true, "0,000 nS  (128)"},
    };
    for (const Case& c : cases) {
        state.system.UiDeviceType = c.model;
        state.system.DebugMode = c.debug;
        dialog->show();
        for (const char* name : {"CheckBox_Analog_BW_Flt", "CheckBox_Digital_BW_Flt"})
            EXPECT_EQ(box(name)->isVisibleTo(dialog.get()), c.filters) << c.model << " " << name;
        for (const char* name : {"CheckBox_Dither_En", "CheckBox_Use_ADC_0"})
            EXPECT_EQ(box(name)->isVisibleTo(dialog.get()), c.debugBoxes) << c.model << " " << name;
        EXPECT_TRUE(box("CheckBox_Refl_Cursors")->isVisibleTo(dialog.get()));
        EXPECT_TRUE(box("CheckBox_IQ_Win_En")->isVisibleTo(dialog.get()));
        EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), c.readout) << c.model;
        dialog->reject();
    }
}

TEST_F(AdvancedDialogFixture, CaptionsByLanguage) {
    struct Case {
        const char* control;
        const char* en;
        const char* ru;
    };
    const Case cases[] = {
        {"Label_AD_Match_", "Digital to Analog Chanels Time Matching",
         "Сопряжение цифровых и аналоговых каналов по времени"},
        {"Label_Reflectometer", "Reflectometer Velocity Factor %", "Коэффициент замедления линии %"},
        {"CheckBox_Refl_Cursors", "Reflectometer Cursors", "Маркерные измерения для рефлектометра"},
        {"CheckBox_Analog_BW_Flt", "Analog BW Filter", "Аналоговый фильтр BW"},
        {"CheckBox_Digital_BW_Flt", "Digital BW Filter", "Цифровой фильтр BW"},
        {"CheckBox_IQ_Win_En", "Enable IQ Win", "Оконная функция IQ"},
        {"CheckBox_Dither_En", "Dither Signal", "Dither сигнал"},
        {"CheckBox_Use_ADC_0", "Use ADC 0 (Even Decimation)", "Исп. ADC 0 (чёт. децимация)"},
        {"Button_Cancel", "Cancel", "Отмена"},
        {"Button_Default", "Default", "По умолч."},
        {"Button_OK", "OK", "OK"},
    };
    for (bool russian : {true, false}) {
        state.system.RussianUi = russian;
        dialog->show();
        EXPECT_EQ(dialog->windowTitle(),
                  QString::fromUtf8(russian ? "Дополнительные настройки" : "Advanced Settings"));
        for (const Case& c : cases) {
            const QWidget* w = dialog->findChild<QWidget*>(c.control);
            ASSERT_NE(w, nullptr) << c.control;
            const QString text = w->property("text").toString();
            EXPECT_EQ(text, QString::fromUtf8(russian ? c.ru : c.en)) << c.control;
        }
        dialog->reject();
    }
}

TEST_F(AdvancedDialogFixture, VelocityFactorWhileTyping) {
    struct Step {
        const char* text;
        std::int32_t velFactor;
        bool valid;
    };
    // One after the other: an invalid text keeps the last valid value.
    const Step steps[] = {
        {"66,0", 660, true}, {"", 660, false},      {"66.5", 660, false}, {"7", 70, true},
        {"7x", 70, false},   {"99,95", 1000, true}, {"1e9", 1000, false}, {" 50 ", 500, true},
    };
    dialog->show();
    int n = 0;
    for (const Step& s : steps) {
        edit()->setText(QString::fromUtf8(s.text));
        ++n;
        EXPECT_EQ(state.system.Vel_Factor, s.velFactor) << s.text;
        EXPECT_EQ(editColour() == kFuchsia, !s.valid) << s.text;
        EXPECT_EQ(refreshes, n) << s.text;
    }
    EXPECT_EQ(settingsChanges, 0);
}

TEST_F(AdvancedDialogFixture, PointSeparatorLocale) {
    make('.');
    state.system.Vel_Factor = 755;
    dialog->show();
    EXPECT_EQ(edit()->text(), "75.5");
    EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), "0.000 nS");
    edit()->setText("66,0");
    EXPECT_EQ(editColour(), kFuchsia);
    EXPECT_EQ(state.system.Vel_Factor, 755);
    edit()->setText("66.0");
    EXPECT_NE(editColour(), kFuchsia);
    EXPECT_EQ(state.system.Vel_Factor, 660);
}

TEST_F(AdvancedDialogFixture, ScrollBarSetsTheTimeMatching) {
    dialog->show();
    bar()->setValue(144);
    EXPECT_EQ(state.system.AD_Match, 144);
    EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), "10,000 nS");
    EXPECT_EQ(settingsChanges, 1);
    bar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(state.system.AD_Match, 136);
    EXPECT_EQ(settingsChanges, 2);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(AdvancedDialogFixture, CheckBoxesSetTheirFlags) {
    struct Case {
        const char* box;
        bool core::SystemState::*field;
        bool instrument;
    };
    const Case cases[] = {
        {"CheckBox_Refl_Cursors", &core::SystemState::Refl_Cursors, false},
        {"CheckBox_Analog_BW_Flt", &core::SystemState::Analog_BW_Flt, true},
        {"CheckBox_Digital_BW_Flt", &core::SystemState::Digital_BW_Flt, true},
        {"CheckBox_IQ_Win_En", &core::SystemState::IQ_Win_En, true},
        {"CheckBox_Dither_En", &core::SystemState::Dither_En, true},
        {"CheckBox_Use_ADC_0", &core::SystemState::Use_ADC_0, true},
    };
    state.system.DebugMode = true;
    dialog->show();
    for (const Case& c : cases) {
        resetCounts();
        const bool before = state.system.*c.field;
        box(c.box)->click();
        EXPECT_EQ(state.system.*c.field, !before) << c.box;
        EXPECT_EQ(settingsChanges, c.instrument ? 1 : 0) << c.box;
        EXPECT_EQ(refreshes, c.instrument ? 0 : 1) << c.box;
    }
}

TEST_F(AdvancedDialogFixture, DefaultRestoresTheDefaultsAndReloads) {
    const ui::AdvancedFields custom{200, 660, true, false, false, false, false, false};
    ui::setAdvancedFields(state.system, custom);
    dialog->show();
    find<QPushButton>("Button_Default")->click();
    EXPECT_EQ(ui::advancedFieldsOf(state.system), ui::defaultAdvancedFields());
    EXPECT_EQ(bar()->value(), 128);
    EXPECT_EQ(edit()->text(), "100,0");
    EXPECT_EQ(find<QLabel>("Label_AD_Match")->text(), "0,000 nS");
    for (const char* name : {"CheckBox_Analog_BW_Flt", "CheckBox_Digital_BW_Flt", "CheckBox_IQ_Win_En",
                             "CheckBox_Dither_En", "CheckBox_Use_ADC_0"})
        EXPECT_TRUE(box(name)->isChecked()) << name;
    EXPECT_FALSE(box("CheckBox_Refl_Cursors")->isChecked());
    // Reloading the controls is no edit of its own.
    EXPECT_EQ(settingsChanges, 1);
    EXPECT_EQ(refreshes, 0);

    // Cancel after Default brings the opening values back.
    resetCounts();
    dialog->reject();
    EXPECT_EQ(ui::advancedFieldsOf(state.system), custom);
    EXPECT_EQ(settingsChanges, 1);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(AdvancedDialogFixture, CancelNotifiesByWhatChanged) {
    struct Case {
        const char* how;
        void (*edit)(AdvancedDialogFixture&);
        void (*close)(ui::AdvancedSettingsDialog&);
        bool settingsChanged;
    };
    const Case cases[] = {
        {"cursors, Cancel", [](AdvancedDialogFixture& f) { f.box("CheckBox_Refl_Cursors")->click(); },
         [](ui::AdvancedSettingsDialog& d) { d.findChild<QPushButton*>("Button_Cancel")->click(); }, false},
        {"velocity, Esc", [](AdvancedDialogFixture& f) { f.edit()->setText("50,0"); },
         [](ui::AdvancedSettingsDialog& d) { pressEscape(&d); }, false},
        {"nothing, close box", [](AdvancedDialogFixture&) {},
         [](ui::AdvancedSettingsDialog& d) { d.close(); }, false},
        {"matching, Cancel", [](AdvancedDialogFixture& f) { f.bar()->setValue(200); },
         [](ui::AdvancedSettingsDialog& d) { d.findChild<QPushButton*>("Button_Cancel")->click(); }, true},
        {"filter, close box", [](AdvancedDialogFixture& f) { f.box("CheckBox_Digital_BW_Flt")->click(); },
         [](ui::AdvancedSettingsDialog& d) { d.close(); }, true},
    };
    const ui::AdvancedFields opening{100, 900, false, true, true, true, true, true};
    for (const Case& c : cases) {
        ui::setAdvancedFields(state.system, opening);
        dialog->show();
        c.edit(*this);
        resetCounts();
        c.close(*dialog);
        EXPECT_FALSE(dialog->isVisible()) << c.how;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << c.how;
        EXPECT_EQ(ui::advancedFieldsOf(state.system), opening) << c.how;
        EXPECT_EQ(settingsChanges, c.settingsChanged ? 1 : 0) << c.how;
        EXPECT_EQ(refreshes, c.settingsChanged ? 0 : 1) << c.how;
    }
}

TEST_F(AdvancedDialogFixture, OkKeepsTheValuesWithoutNotifying) {
    dialog->show();
    bar()->setValue(120);
    edit()->setText("80");
    box("CheckBox_Refl_Cursors")->click();
    resetCounts();
    find<QPushButton>("Button_OK")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(state.system.AD_Match, 120);
    EXPECT_EQ(state.system.Vel_Factor, 800);
    EXPECT_TRUE(state.system.Refl_Cursors);
    EXPECT_EQ(settingsChanges, 0);
    EXPECT_EQ(refreshes, 0);
}

TEST(AdvancedSettingsDialog, RunsModallyWithExec) {
    core::InstrumentState state;
    ui::AdvancedDialogHooks hooks;
    hooks.decimalSeparator = ',';
    ui::AdvancedSettingsDialog dialog(nullptr, state, hooks);
    QTimer::singleShot(0, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        w->findChild<QLineEdit*>("Edit_Vel_Factor")->setText("66,0");
        w->findChild<QPushButton*>("Button_OK")->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(state.system.Vel_Factor, 660);
}
