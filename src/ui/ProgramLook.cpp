// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgramLook.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

namespace kx::ui {

const char* checkedButtonStyleSheet() {
    return "QToolButton:checked, QPushButton:checked {"
           " background-color: #2f6fbd; color: #ffffff; border: 1px solid #1b4a85; border-radius: 2px; }"
           "QToolButton:checked:disabled, QPushButton:checked:disabled {"
           " background-color: #9db5d6; color: #eef2f8; border: 1px solid #7f97b8; }";
}

void applyProgramLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    qApp->setStyleSheet(QString::fromLatin1(checkedButtonStyleSheet()));
    for (const char* path :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/wine/tahoma.ttf"}) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(path)) < 0) continue;
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(8);
        QApplication::setFont(f);
        return;
    }
}

} // namespace kx::ui
