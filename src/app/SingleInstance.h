// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/BusyFlag.h"

#include <QObject>
#include <QString>

#include <string>

class QLocalServer;
class QLocalSocket;

namespace kx::app {

// How a second start fared with the running instance.
enum class HandOverStatus {
    Idle,     // the instance said it was idle: it opens the file and comes to the front
    Busy,     // the instance said it was busy: it ignores the file
    NoAnswer, // it took the connection but did not answer in time; the file was left for it anyway
    NotSent,  // nobody took the connection (or the name was too long to send): nothing handed over
};

struct HandOverResult {
    HandOverStatus status = HandOverStatus::NotSent;
    bool raise = false; // the running instance should come to the front: it was idle, or no parameters
};

// One running instance per instance name (app::instanceName of the executable), so that a second
// start hands its file to the first one and ends. The instance listens on a local socket in the
// user's runtime folder; the busy flag lives with it and the instance answers busy queries itself.
//
// Program start, with a Q(Core)Application in place:
//     SingleInstance instance(QString::fromStdString(app::instanceName(argv[0])));
//     if (!instance.becomePrimary()) {
//         const QStringList args = QCoreApplication::arguments();
//         instance.handOver(args.size() > 1 ? args.last() : QString(), int(args.size()) - 1);
//         return 0;                         // a second start never opens a window
//     }
// The window then connects:
//     raiseRequested  -> show it normal (restore when minimised), raise() and activateWindow();
//     fileHandedOver  -> BusyMark over the dispatch by app::dispatchKind(file, false), then LastDir
//                        = app::fileDirectory(file);
// wraps each modal dialog, file dialog and file operation in a BusyMark on busyFlag(), checks
// busy() before opening a dropped file, and calls setBusy(false) at the end of its start-up: the
// instance starts busy. A file that arrives while busy is dropped, as is a drop.
// All of this runs in the GUI thread.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Second starts wait at most this long for the running instance.
    static constexpr int kTimeoutMs = 2000;

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the name. False when another instance answers on it: hand the file over and end.
    // True otherwise, also when the socket cannot be set up for another reason (then this instance
    // runs alone and later starts cannot reach it; listening() tells). A socket left behind by an
    // instance that died is removed, one that somebody answers on never is.
    bool becomePrimary();
    bool listening() const;
    QString errorString() const { return m_error; }

    // As a second start: asks whether the running instance is busy, then sends it the file (made
    // absolute against our working folder, which the running instance does not share) and the
    // parameter count. Never waits much longer than timeoutMs, even on a stuck instance.
    HandOverResult handOver(const QString& file, int paramCount, int timeoutMs = kTimeoutMs);

    void setBusy(bool busy) { m_busy.setBusy(busy); }
    bool busy() const { return m_busy.busy(); }
    BusyFlag& busyFlag() { return m_busy; }

    QString name() const { return m_name; }
    // Where the socket of an instance name lives; long names are hashed to fit a socket address.
    static QString socketPath(const QString& name);

signals:
    // A second start handed over a file while this instance was idle; raiseRequested came first.
    void fileHandedOver(const QString& file, int paramCount);
    // A second start wants this instance in front: it had no parameters, or found us idle.
    void raiseRequested();
    // A second start handed over a file while this instance was busy; nothing is to be done.
    void fileIgnored(const QString& file, int paramCount);

private:
    void acceptConnections();
    void readRequests(QLocalSocket* socket);
    void deliver(const QString& file, int paramCount, bool raise);

    QString m_name;
    QString m_path;
    QString m_error;
    QLocalServer* m_server = nullptr;
    BusyFlag m_busy;
};

} // namespace kx::app
