// SPDX-License-Identifier: GPL-3.0-or-later
// A second start of the program, reduced to the instance check:
//   kx_instance_second <name> handover <file> <paramCount> [timeoutMs]
//   kx_instance_second <name> die       (claims the name and ends without cleaning up)
//   kx_instance_second <name> serve <ms> (claims the name and serves, busy, for a while; or hands
//                                         over nothing when another copy has it)
#include "InstanceSecondCodes.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) return kx::secondstart::kBadArguments;

    kx::app::SingleInstance instance(args[1]);
    if (args[2] == QLatin1String("die")) {
        if (!instance.becomePrimary() || !instance.listening()) return kx::secondstart::kBadArguments;
        std::_Exit(kx::secondstart::kBecamePrimary); // like a crash: the socket stays behind
    }
    if (args[2] == QLatin1String("serve") && args.size() > 3) {
        if (!instance.becomePrimary()) return kx::secondstart::exitCodeFor(instance.handOver(QString(), 0));
        QTimer::singleShot(args[3].toInt(), &app, &QCoreApplication::quit);
        app.exec();
        return kx::secondstart::kBecamePrimary;
    }
    if (args[2] != QLatin1String("handover") || args.size() < 5) return kx::secondstart::kBadArguments;
    bool ok = false;
    const int count = args[4].toInt(&ok);
    if (!ok) return kx::secondstart::kBadArguments;
    const int timeoutMs = args.size() > 5 ? args[5].toInt() : kx::app::SingleInstance::kTimeoutMs;

    if (instance.becomePrimary()) return kx::secondstart::kBecamePrimary;
    return kx::secondstart::exitCodeFor(instance.handOver(args[3], count, timeoutMs));
}
