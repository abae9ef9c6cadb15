// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/LanguageDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kx;

namespace {

// Acts on the dialog once it runs modally.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

} // namespace

TEST(LanguageDialog, NamesTextsAndDefaultButton) {
    ui::LanguageDialog d;
    EXPECT_EQ(d.objectName(), "TForm_Sel_Lng");
    EXPECT_EQ(d.windowTitle(), "Select Language.");
    auto* combo = d.findChild<QComboBox*>("ComboBox_Sel_Lng");
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "English");
    EXPECT_EQ(combo->itemText(1), "Russian");
    auto* ok = d.findChild<QPushButton*>("OKButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
}

TEST(LanguageDialog, EveryShowingStartsFromEnglish) {
    ui::LanguageDialog d;
    auto* combo = d.findChild<QComboBox*>("ComboBox_Sel_Lng");
    combo->setCurrentIndex(1);
    d.show();
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(d.russianChosen());
    combo->setCurrentIndex(1);
    EXPECT_TRUE(d.russianChosen());
    d.hide();
    d.show();
    EXPECT_FALSE(d.russianChosen());
}

TEST(LanguageDialog, AskReturnsTheChoice) {
    struct Case {
        int pick; // -1: leave the preselection
        bool russian;
    };
    for (const Case c : {Case{-1, false}, Case{1, true}, Case{0, false}}) {
        whenModal([c](QWidget* w) {
            if (c.pick >= 0) w->findChild<QComboBox*>("ComboBox_Sel_Lng")->setCurrentIndex(c.pick);
            w->findChild<QPushButton*>("OKButton")->click();
        });
        EXPECT_EQ(ui::LanguageDialog::ask(nullptr), c.russian) << c.pick;
    }
    // Closing it another way keeps what was chosen.
    whenModal([](QWidget* w) {
        w->findChild<QComboBox*>("ComboBox_Sel_Lng")->setCurrentIndex(1);
        w->close();
    });
    EXPECT_TRUE(ui::LanguageDialog::ask(nullptr));
}
