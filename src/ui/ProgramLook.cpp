// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProgramLook.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

namespace kx::ui {

void applyProgramLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
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
