// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogPlacement.h"
#include "ui/LanguageDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kx::ui {
namespace {

TEST(DialogPlacement, LanguageQuestionIsCentredOnTheWindowAndShowsItsCaption) {
    QWidget main;
    main.setGeometry(150, 120, 500, 360); // within the 800 x 600 offscreen screen
    main.show();
    int width = 0;
    int needed = 0;
    QPoint centre;
    // Looked at once the dialog has been placed, then answered.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            ASSERT_NE(d, nullptr);
            width = d->width();
            needed = captionWidth(d);
            centre = d->frameGeometry().center();
            d->findChild<QPushButton*>("OKButton")->click();
        });
    });
    EXPECT_FALSE(LanguageDialog::ask(&main));
    EXPECT_GE(width, needed);
    EXPECT_LE(std::abs(centre.x() - main.frameGeometry().center().x()), 2);
    EXPECT_LE(std::abs(centre.y() - main.frameGeometry().center().y()), 2);
}

TEST(DialogPlacement, MessageBoxIsAsWideAsItsCaption) {
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Interface will be changed for TRM207 Mini - Warning"));
    box.setText(QStringLiteral("OK."));
    box.setStandardButtons(QMessageBox::Ok);
    widenToCaption(&box);
    box.show();
    EXPECT_GE(box.width(), captionWidth(&box));
    box.hide();
}

TEST(DialogPlacement, CentringKeepsTheWindowOnScreen) {
    QWidget main;
    main.setGeometry(0, 0, 200, 100);
    main.show();
    QWidget dialog;
    dialog.resize(600, 300);
    dialog.show();
    centreOver(&dialog, &main);
    EXPECT_GE(dialog.frameGeometry().left(), 0);
    EXPECT_GE(dialog.frameGeometry().top(), 0);
}

} // namespace
} // namespace kx::ui
