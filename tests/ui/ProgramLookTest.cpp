// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgramLook.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPalette>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kx::ui {
namespace {

int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The face of a button, away from its text and border.
QColor face(QToolButton& b) {
    return b.grab().toImage().pixelColor(4, 4);
}

TEST(ProgramLook, PressedToggleButtonsStandOutWhateverThePalette) {
    qApp->setStyleSheet(QString::fromLatin1(checkedButtonStyleSheet()));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::ButtonText, Qt::white);
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        QWidget window;
        window.setPalette(palette);
        auto* row = new QHBoxLayout(&window);
        auto* up = new QToolButton(&window);
        auto* down = new QToolButton(&window);
        for (QToolButton* b : {up, down}) {
            b->setCheckable(true);
            b->setText(QStringLiteral("RUN"));
            b->setFixedSize(60, 30);
            row->addWidget(b);
        }
        down->setChecked(true);
        window.show();
        const QColor released = face(*up);
        const QColor pressed = face(*down);
        EXPECT_GT(distance(released, pressed), 150)
            << released.name().toStdString() << " vs " << pressed.name().toStdString();
        // A disabled pressed button still differs from a released one.
        down->setEnabled(false);
        EXPECT_GT(distance(released, face(*down)), 60);
    }
    qApp->setStyleSheet(QString());
}

} // namespace
} // namespace kx::ui
