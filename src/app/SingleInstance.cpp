// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include "app/HandOverMessage.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace kx::app {

namespace {

// sockaddr_un holds 108 bytes with the terminating zero.
constexpr qsizetype kMaxSocketPath = 107;
// A peer that neither finishes its request nor goes away is dropped after this.
constexpr int kConnectionLifeMs = 10000;
// Finding out whether somebody answers on an existing socket: local connects are immediate.
constexpr int kProbeMs = 500;
constexpr int kLockMs = 2000;

int remainingMs(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

bool sendAll(QLocalSocket& socket, int timeoutMs) {
    socket.flush();
    QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
    return true;
}

bool answers(QLocalSocket& probe, const QString& path) {
    probe.connectToServer(path);
    if (!probe.waitForConnected(kProbeMs)) return false;
    probe.abort();
    return true;
}

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_path(socketPath(m_name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath(const QString& name) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QString path = dir + QLatin1Char('/') + name;
    if (path.toUtf8().size() > kMaxSocketPath) {
        const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex();
        path = dir + QStringLiteral("/kx-") + QString::fromLatin1(hash);
    }
    return path;
}

bool SingleInstance::listening() const {
    return m_server && m_server->isListening();
}

bool SingleInstance::becomePrimary() {
    if (listening()) return true;
    // Two starts at the same moment must not both take a silent socket for stale and remove the
    // one the other has just set up: the check and the listen happen under a lock.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    // Without the lock (a folder we cannot write to, a lock that never frees) we go on unguarded.
    lock.tryLock(kLockMs);

    QLocalSocket probe;
    if (answers(probe, m_path)) return false;
    switch (probe.error()) {
    case QLocalSocket::ServerNotFoundError:
        break;
    case QLocalSocket::ConnectionRefusedError:
        // The socket is there but nobody listens: its instance died without cleaning up.
        QLocalServer::removeServer(m_path);
        break;
    case QLocalSocket::SocketTimeoutError:
        // Somebody holds the socket but is slow to take connections: a running instance.
        return false;
    default:
        break;
    }

    // The runtime folder is the user's own, so the socket needs no access options of its own.
    auto server = std::make_unique<QLocalServer>(this);
    if (!server->listen(m_path)) {
        // Someone set the name up between our look and our listen (only without the lock).
        QLocalSocket again;
        if (server->serverError() == QAbstractSocket::AddressInUseError && answers(again, m_path))
            return false;
        m_error = server->errorString();
        return true;
    }
    m_error.clear();
    m_server = server.release();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionLifeMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        // A second start that wrote and left before we got here: its bytes are already waiting.
        if (socket->bytesAvailable() > 0) readRequests(socket);
    }
}

void SingleInstance::readRequests(QLocalSocket* socket) {
    while (socket->isOpen()) {
        const QByteArray pending = socket->peek(socket->bytesAvailable());
        HandOverMessage message;
        std::size_t consumed = 0;
        const Decoded kind = decodeRequest(std::string_view(pending.constData(), std::size_t(pending.size())),
                                           message, consumed);
        if (kind == Decoded::Incomplete) return;
        if (kind == Decoded::Invalid) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        socket->skip(static_cast<qint64>(consumed));
        if (kind == Decoded::BusyQuery) {
            if (socket->state() == QLocalSocket::ConnectedState) {
                const char reply = busy() ? kReplyBusy : kReplyIdle;
                // Queued, not flushed: a peer that has already gone must not cost us what it sent after.
                socket->write(&reply, 1);
            }
            continue;
        }
        // Handlers of the signals open files and dialogs with event loops of their own; run them
        // off this socket's stack, and judge busy when the file is actually taken.
        const QString file = QString::fromUtf8(message.file.data(), qsizetype(message.file.size()));
        QMetaObject::invokeMethod(
            this,
            [this, file, count = message.paramCount, raise = message.raise] { deliver(file, count, raise); },
            Qt::QueuedConnection);
    }
}

void SingleInstance::deliver(const QString& file, int paramCount, bool raise) {
    if (paramCount == 0 || file.isEmpty()) {
        emit raiseRequested();
        return;
    }
    if (busy()) {
        // The second start raised us when it found us idle a moment ago; keep that promise.
        if (raise) emit raiseRequested();
        emit fileIgnored(file, paramCount);
        return;
    }
    emit raiseRequested();
    emit fileHandedOver(file, paramCount);
}

HandOverResult SingleInstance::handOver(const QString& file, int paramCount, int timeoutMs) {
    paramCount = std::max(paramCount, 0);
    const QString absolute = file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
    HandOverMessage message{absolute.toStdString(), paramCount, false};
    if (message.file.size() > kMaxHandOverFileBytes) return {HandOverStatus::NotSent, false};

    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(remainingMs(deadline))) return {HandOverStatus::NotSent, false};

    socket.write(&kBusyQuery, 1);
    HandOverStatus status = HandOverStatus::NoAnswer;
    if (sendAll(socket, remainingMs(deadline))) {
        while (socket.bytesAvailable() < 1 && socket.waitForReadyRead(remainingMs(deadline))) {
        }
        char reply = 0;
        if (socket.read(&reply, 1) == 1) {
            if (reply == kReplyIdle) status = HandOverStatus::Idle;
            if (reply == kReplyBusy) status = HandOverStatus::Busy;
        }
    }
    message.raise = status == HandOverStatus::Idle || paramCount == 0;

    // Even an instance that did not answer gets the file: it is judged busy or not when it reads it.
    std::string bytes;
    encodeFileMessage(message, bytes);
    socket.write(bytes.data(), qint64(bytes.size()));
    if (!sendAll(socket, std::max(remainingMs(deadline), timeoutMs / 4))) {
        socket.abort();
        return {HandOverStatus::NotSent, false};
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs / 4);
    return {status, message.raise};
}

} // namespace kx::app
