// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz: one running instance per executable name; a second start hands its file over.
#include "app/FileDispatch.h"
#include "app/SingleInstance.h"
#include "app/window/TMFrm.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QStringList>
#include <QStyleFactory>

#include <exception>

namespace {

// Tahoma from Debian's fonts-wine, where it is installed; the desktop's font otherwise.
void loadTahoma() {
    for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/wine/tahoma.ttf"}) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(path)) < 0) continue;
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(8);
        QApplication::setFont(f);
        return;
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::string exe = QApplication::applicationFilePath().toStdString();
    const QStringList args = QApplication::arguments();

    kx::app::SingleInstance instance(QString::fromStdString(kx::app::instanceName(exe)));
    if (!instance.becomePrimary()) {
        instance.handOver(args.size() > 1 ? args.last() : QString(), static_cast<int>(args.size()) - 1);
        return 0;
    }
    loadTahoma();

    try {
        kx::app::WindowOptions options;
        options.exePath = exe;
        for (qsizetype i = 1; i < args.size(); ++i) options.args.push_back(args[i].toStdString());
        options.busyFlag = &instance.busyFlag();
        kx::app::TMFrm window(std::move(options));
        QObject::connect(&instance, &kx::app::SingleInstance::raiseRequested, &window, [&window] {
            if (window.isMinimized()) window.showNormal();
            window.raise();
            window.activateWindow();
        });
        QObject::connect(&instance, &kx::app::SingleInstance::fileHandedOver, &window,
                         [&window](const QString& file, int count) { window.handOver(file.toStdString(), count); });
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromUtf8(e.what()));
        return 1;
    }
}
