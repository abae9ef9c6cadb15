// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/forms/TForm_S_Decoders.h"

#include "core/DeviceModel.h"

#include "support/ModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kx::decoders {
namespace {

using kx::testing::child;
using kx::testing::whenModal;

QStringList items(QWidget* w, const char* combo) {
    QStringList out;
    QComboBox* c = child<QComboBox>(w, combo);
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

QColor base(QWidget* w, const char* edit) {
    return child<QLineEdit>(w, edit)->palette().color(QPalette::Base);
}

class DecodersDialog : public ::testing::Test {
protected:
    core::InstrumentState state;
    int refreshes = 0;
    int clears = 0;
    int saves = 0;
    std::vector<std::string> listing{"RXD (Data - 1, errors - 0)", "", "000:  41", ""};
    std::function<void()> listener;
    QWidget parent;
    std::unique_ptr<TForm_S_Decoders> dialog;

    void SetUp() override {
        state.system.RussianUi = false;
        state.system.UiDeviceType = core::kKX4823;
        state.decoder.Type = 1;
        parent.setGeometry(200, 150, 900, 600);
        DecoderDialogHooks hooks;
        hooks.refresh = [this] { ++refreshes; };
        hooks.listing = [this]() -> const std::vector<std::string>& { return listing; };
        hooks.watchListing = [this](std::function<void()> f) { listener = std::move(f); };
        hooks.clearListing = [this] {
            ++clears;
            listing.clear();
            if (listener) listener();
        };
        hooks.save = [this] { ++saves; };
        dialog = std::make_unique<TForm_S_Decoders>(&parent, state, hooks);
    }
    void TearDown() override {
        dialog->hide();
        dialog.reset();
    }
};

TEST_F(DecodersDialog, ShowsTheSettingsInBothLanguages) {
    state.decoder.Type = 3; // from a settings file
    state.decoder.Baud_Rate = 9600;
    state.decoder.PRTY = 2;
    state.decoder.Data_Bits = 7;
    state.decoder.Stop_Bits = 2;
    state.decoder.MSB_First = 1;
    state.decoder.TXD = 6;
    state.decoder.TXD_Inv = 1;
    state.decoder.Display = 1;
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Serial Decoders");
        EXPECT_EQ(child<QLabel>(w, "Label_Decoder")->text(), "Decoder -");
        EXPECT_EQ(items(w, "ComboBox_Decoder").join(","), "OFF,RS232");
        EXPECT_EQ(child<QComboBox>(w, "ComboBox_Decoder")->currentIndex(), 1); // lowered to RS232
        EXPECT_EQ(child<QLineEdit>(w, "Edit_Baud_Rate")->text(), "9600");
        EXPECT_EQ(child<QLineEdit>(w, "Edit_Baud_Rate")->maxLength(), 9);
        EXPECT_EQ(items(w, "ComboBox_PRTY").join(","), "None,Even,Odd,Ignore");
        EXPECT_EQ(child<QComboBox>(w, "ComboBox_PRTY")->currentIndex(), 2);
        EXPECT_EQ(child<QLineEdit>(w, "Edit_Data_Bits")->text(), "7");
        EXPECT_EQ(child<QLineEdit>(w, "Edit_Stop_Bits")->text(), "2");
        EXPECT_TRUE(child<QRadioButton>(w, "RadioGroup_MSB_First_1")->isChecked());
        EXPECT_EQ(child<QRadioButton>(w, "RadioGroup_MSB_First_0")->text(), "LSB First");
        EXPECT_EQ(items(w, "ComboBox_RXD").join(","), "OFF,A1,A2,D1,D2,D3,D4");
        EXPECT_EQ(items(w, "ComboBox_CS").value(0), "ACTIVE");
        EXPECT_EQ(child<QComboBox>(w, "ComboBox_TXD")->currentIndex(), 6);
        EXPECT_TRUE(child<QCheckBox>(w, "CheckBox_TXD_Inv")->isChecked());
        EXPECT_EQ(child<QCheckBox>(w, "CheckBox_TXD_Inv")->text(), "Inv");
        EXPECT_EQ(child<QLabel>(w, "Label_RXD")->text(), "RXD -");
        EXPECT_TRUE(child<QComboBox>(w, "ComboBox_CLK")->isHidden());
        EXPECT_TRUE(child<QCheckBox>(w, "CheckBox_CS_Inv")->isHidden());
        EXPECT_TRUE(child<QLabel>(w, "Label_CS")->isHidden());
        EXPECT_EQ(child<QLabel>(w, "Label_Display")->text(), "Data Display Format -");
        EXPECT_EQ(items(w, "ComboBox_Display").join(","), "HEX,DECIMAL,ASCII");
        EXPECT_EQ(child<QComboBox>(w, "ComboBox_Display")->currentIndex(), 1);
        EXPECT_EQ(child<QPushButton>(w, "Button_Save")->text(), "Save...");
        EXPECT_EQ(child<QPlainTextEdit>(w, "Memo_Decoders")->toPlainText(),
                  "RXD (Data - 1, errors - 0)\n\n000:  41\n");
        EXPECT_EQ(w->focusWidget(), child<QPushButton>(w, "Button_Cancel"));
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
    EXPECT_EQ(refreshes, 0); // loading the controls runs no handler
    EXPECT_EQ(state.decoder.Type, 1);

    state.system.RussianUi = true;
    state.system.UiDeviceType = core::kKX4820; // no A2
    whenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Декодер протоколов"));
        EXPECT_EQ(child<QLabel>(w, "Label_Decoder")->text(), QString::fromUtf8("Декодер -"));
        EXPECT_EQ(items(w, "ComboBox_Decoder").value(0), QString::fromUtf8("Выкл."));
        EXPECT_EQ(items(w, "ComboBox_RXD").join(","), QString::fromUtf8("Выкл.,A1,-,D1,D2,D3,D4"));
        EXPECT_EQ(items(w, "ComboBox_CS").value(0), QString::fromUtf8("Активн."));
        EXPECT_EQ(child<QCheckBox>(w, "CheckBox_RXD_Inv")->text(), QString::fromUtf8("Инв."));
        EXPECT_EQ(child<QLabel>(w, "Label_Display")->text(), QString::fromUtf8("Формат отображения -"));
        EXPECT_EQ(child<QPushButton>(w, "Button_Save")->text(), QString::fromUtf8("Сохранить..."));
        EXPECT_EQ(child<QLabel>(w, "Label_Baud_Rate")->text(), "Baud Rate - ");
        EXPECT_EQ(child<QPushButton>(w, "Button_Cancel")->text(), "Cancel");
        // "-" stands for A1 here.
        child<QComboBox>(w, "ComboBox_RXD")->setCurrentIndex(2);
        EXPECT_EQ(state.decoder.RXD, 1);
        EXPECT_EQ(child<QComboBox>(w, "ComboBox_RXD")->currentIndex(), 1);
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
}

TEST_F(DecodersDialog, EditBoxesCheckWhatIsTyped) {
    whenModal([&](QWidget* w) {
        const QColor window = base(w, "Edit_Baud_Rate");
        QLineEdit* baud = child<QLineEdit>(w, "Edit_Baud_Rate");
        baud->setText("9600x");
        EXPECT_EQ(state.decoder.Baud_Rate, 115200);
        EXPECT_EQ(base(w, "Edit_Baud_Rate"), QColor(0xFF, 0x00, 0xFF));
        EXPECT_EQ(refreshes, 0);
        baud->setText("1");
        EXPECT_EQ(base(w, "Edit_Baud_Rate"), QColor(0xFF, 0x00, 0xFF));
        baud->setText("19200");
        EXPECT_EQ(state.decoder.Baud_Rate, 19200);
        EXPECT_EQ(base(w, "Edit_Baud_Rate"), window);
        EXPECT_EQ(refreshes, 1);

        child<QLineEdit>(w, "Edit_Data_Bits")->setText("33");
        EXPECT_EQ(state.decoder.Data_Bits, 8);
        child<QLineEdit>(w, "Edit_Data_Bits")->setText("5");
        EXPECT_EQ(state.decoder.Data_Bits, 5);
        child<QLineEdit>(w, "Edit_Stop_Bits")->setText("3");
        EXPECT_EQ(state.decoder.Stop_Bits, 1);
        EXPECT_EQ(base(w, "Edit_Stop_Bits"), QColor(0xFF, 0x00, 0xFF));
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
    EXPECT_EQ(state.decoder.Baud_Rate, 19200);
    // Opened again, the refused text is gone and every box has the window colour.
    whenModal([&](QWidget* w) {
        EXPECT_EQ(child<QLineEdit>(w, "Edit_Stop_Bits")->text(), "1");
        EXPECT_EQ(base(w, "Edit_Stop_Bits"), base(w, "Edit_Baud_Rate"));
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
}

TEST_F(DecodersDialog, CancelRestoresEveryDecoderSetting) {
    const core::DecoderState opened = state.decoder;
    whenModal([&](QWidget* w) {
        child<QComboBox>(w, "ComboBox_PRTY")->setCurrentIndex(1);
        child<QLineEdit>(w, "Edit_Baud_Rate")->setText("300");
        child<QRadioButton>(w, "RadioGroup_MSB_First_1")->click();
        child<QComboBox>(w, "ComboBox_RXD")->setCurrentIndex(5);
        child<QCheckBox>(w, "CheckBox_RXD_Inv")->click();
        child<QComboBox>(w, "ComboBox_Display")->setCurrentIndex(2);
        child<QComboBox>(w, "ComboBox_Decoder")->setCurrentIndex(0);
        EXPECT_EQ(state.decoder.PRTY, 1);
        EXPECT_EQ(state.decoder.MSB_First, 1);
        EXPECT_EQ(state.decoder.RXD, 5);
        EXPECT_EQ(state.decoder.RXD_Inv, 1);
        EXPECT_EQ(state.decoder.Display, 2);
        EXPECT_EQ(state.decoder.Type, 0);
        EXPECT_EQ(refreshes, 7); // each change at once
        child<QPushButton>(w, "Button_Cancel")->click();
    });
    dialog->exec();
    EXPECT_EQ(state.decoder.PRTY, opened.PRTY);
    EXPECT_EQ(state.decoder.Baud_Rate, opened.Baud_Rate);
    EXPECT_EQ(state.decoder.MSB_First, opened.MSB_First);
    EXPECT_EQ(state.decoder.RXD, opened.RXD);
    EXPECT_EQ(state.decoder.RXD_Inv, opened.RXD_Inv);
    EXPECT_EQ(state.decoder.Display, opened.Display);
    EXPECT_EQ(state.decoder.Type, opened.Type);
    EXPECT_EQ(refreshes, 8); // and once more with the values restored
    EXPECT_FALSE(listener);  // the memo no longer listens
}

TEST_F(DecodersDialog, DecoderOffDisablesItsControlsAndEmptiesTheListing) {
    whenModal([&](QWidget* w) {
        EXPECT_TRUE(child<QLineEdit>(w, "Edit_Baud_Rate")->isEnabled());
        EXPECT_TRUE(child<QComboBox>(w, "ComboBox_TXD")->isEnabled());
        child<QComboBox>(w, "ComboBox_Decoder")->setCurrentIndex(0);
        for (const char* name : {"Edit_Baud_Rate", "ComboBox_PRTY", "Edit_Stop_Bits", "Label_Baud_Rate"})
            EXPECT_FALSE(child<QWidget>(w, name)->isEnabled()) << name;
        EXPECT_TRUE(child<QLineEdit>(w, "Edit_Data_Bits")->isEnabled());
        EXPECT_FALSE(child<QComboBox>(w, "ComboBox_RXD")->isEnabled());
        EXPECT_FALSE(child<QCheckBox>(w, "CheckBox_TXD_Inv")->isEnabled());
        EXPECT_EQ(child<QLabel>(w, "Label_RXD")->text(), "");
        EXPECT_EQ(clears, 1);
        EXPECT_EQ(child<QPlainTextEdit>(w, "Memo_Decoders")->toPlainText(), "");

        child<QComboBox>(w, "ComboBox_Decoder")->setCurrentIndex(1);
        EXPECT_TRUE(child<QComboBox>(w, "ComboBox_RXD")->isEnabled());
        EXPECT_EQ(child<QLabel>(w, "Label_TXD")->text(), "TXD -");
        // Frames go on arriving: the memo follows the listing.
        listing = {"TXD (Data - 2, errors - 1)", "", "000:  41,42"};
        ASSERT_TRUE(listener);
        listener();
        EXPECT_EQ(child<QPlainTextEdit>(w, "Memo_Decoders")->toPlainText(),
                  "TXD (Data - 2, errors - 1)\n\n000:  41,42");
        child<QPushButton>(w, "Button_Save")->click();
        EXPECT_EQ(saves, 1);
        child<QPushButton>(w, "Button_OK")->click();
    });
    dialog->exec();
    EXPECT_EQ(state.decoder.Type, 1);
    EXPECT_FALSE(listener);
}

} // namespace
} // namespace kx::decoders
