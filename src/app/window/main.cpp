// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz: one running instance per executable name; a second start hands its file over.
#include "app/CommandLine.h"
#include "app/FileDispatch.h"
#include "app/SingleInstance.h"
#include "app/window/TMFrm.h"
#include "core/ProgramPaths.h"
#include "ui/ProgramLook.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

std::vector<std::string> parameters(const QStringList& args) {
    std::vector<std::string> out;
    for (qsizetype i = 1; i < args.size(); ++i) out.push_back(args[i].toStdString());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    const std::vector<std::string> raw(argv + (argc > 0 ? 1 : 0), argv + argc);
    const kx::app::CommandLine early = kx::app::parseCommandLine(raw);
    const std::string exeName = kx::core::programLayout(kx::core::executablePath()).exeName;
    if (early.version) {
        std::printf("%s %s\n", exeName.c_str(), kx::core::programVersion());
        return 0;
    }
    if (early.help) {
        std::fputs(kx::app::commandLineUsage(exeName).c_str(), stdout);
        return 0;
    }
    if (early.simulator) {
        // The same as pointing KX48ZZ_D2XX at the simulated instrument by hand.
        const std::string sim =
            kx::core::simulatorLibraryPath(kx::core::programLayout(kx::core::executablePath()));
        if (sim.empty()) {
            std::fprintf(stderr, "%s: the simulated instrument (libkx48zz_sim.so) is not installed\n",
                         exeName.c_str());
            return 2;
        }
        setenv("KX48ZZ_D2XX", sim.c_str(), 1);
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("kx48zz"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kx48zz")));
    const std::string exe = QApplication::applicationFilePath().toStdString();
    const kx::app::CommandLine commandLine = kx::app::parseCommandLine(parameters(QApplication::arguments()));
    const std::vector<std::string>& files = commandLine.files;

    kx::app::SingleInstance instance(QString::fromStdString(kx::app::instanceName(exe)));
    if (!instance.becomePrimary()) {
        instance.handOver(files.empty() ? QString() : QString::fromStdString(files.back()),
                          static_cast<int>(files.size()));
        return 0;
    }
    kx::ui::applyProgramLook();

    try {
        kx::app::WindowOptions options;
        options.exePath = exe;
        options.args = files;
        options.busyFlag = &instance.busyFlag();
        kx::app::TMFrm window(std::move(options));
        QObject::connect(&instance, &kx::app::SingleInstance::raiseRequested, &window, [&window] {
            if (window.isMinimized()) window.showNormal();
            window.raise();
            window.activateWindow();
        });
        QObject::connect(
            &instance, &kx::app::SingleInstance::fileHandedOver, &window,
            [&window](const QString& file, int count) { window.handOver(file.toStdString(), count); });
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromUtf8(e.what()));
        return 1;
    }
}
