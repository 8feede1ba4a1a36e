// SPDX-License-Identifier: MIT
#include "tikko/shell/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace tikko {

namespace {
constexpr int AnswerTimeoutMs = 500;
// The holder listens right after it took the lock; a start that lost the race waits that
// long for it before it gives up asking.
constexpr int HolderStartMs = 3000;
const QByteArray ShowRequest = "show\n";
} // namespace

SingleInstance::SingleInstance(QString storeFolder, QObject* parent)
    : QObject(parent)
    , m_key(keyFor(storeFolder))
    , m_lock(lockPathFor(storeFolder)) {
    // Held for the whole run: only a holder that is gone (a crash, a kill) makes it stale.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyFor(const QString& storeFolder) {
    const QByteArray folder = QDir::cleanPath(QDir(storeFolder).absolutePath()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("TikkoClock-") + QString::fromLatin1(hash.left(16));
}

QString SingleInstance::lockPathFor(const QString& storeFolder) {
    return QDir(storeFolder).filePath(QStringLiteral("alarm.ini.lock"));
}

bool SingleInstance::askRunningInstance(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(AnswerTimeoutMs)) {
            socket.write(ShowRequest);
            socket.waitForBytesWritten(AnswerTimeoutMs);
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

void SingleInstance::listen() {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_key))
        return;
    // The lock is ours, so a name that is still there was left by a crash.
    QLocalServer::removeServer(m_key);
    m_server.listen(m_key);
}

bool SingleInstance::claim() {
    if (m_lock.tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        // No lock can be taken in this folder at all: the socket alone has to do.
        if (askRunningInstance(0))
            return false;
        listen();
        return true;
    }
    askRunningInstance(HolderStartMs);
    return false;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == ShowRequest)
                    emit showRequested();
            }
        });
    }
}

} // namespace tikko
