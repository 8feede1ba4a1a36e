// SPDX-License-Identifier: MIT
#include "tikko/shell/single_instance.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>

Q_DECLARE_LOGGING_CATEGORY(lcShell)

namespace tikko {

namespace {
const QByteArray ShowRequest = "show\n";
const QByteArray ShownAnswer = "shown\n";
} // namespace

SingleInstance::SingleInstance(QString storeFolder, QString runtimeFolder, QObject* parent)
    : QObject(parent)
    , m_storeFolder(std::move(storeFolder))
    , m_runtimeFolder(std::move(runtimeFolder))
    , m_key(keyFor(m_storeFolder, m_runtimeFolder)) {
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyFor(const QString& storeFolder, const QString& runtimeFolder) {
    // The same store reached through a link is the same store.
    const QString canonical = QFileInfo(storeFolder).canonicalFilePath();
    const QString folder =
        canonical.isEmpty() ? QDir::cleanPath(QDir(storeFolder).absolutePath()) : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString name = QStringLiteral("TikkoClock-") + QString::fromLatin1(hash.left(16));
    return runtimeFolder.isEmpty() ? name : QDir(runtimeFolder).filePath(name);
}

QString SingleInstance::lockPathFor(const QString& storeFolder) {
    return QDir(storeFolder).filePath(QStringLiteral("alarm.ini.lock"));
}

QString SingleInstance::runtimeLockPathFor(const QString& storeFolder,
                                           const QString& runtimeFolder) {
    if (runtimeFolder.isEmpty())
        return {};
    return keyFor(storeFolder, runtimeFolder) + QStringLiteral(".lock");
}

QString SingleInstance::lockPath() const {
    return m_locked ? m_lockPath : QString();
}

bool SingleInstance::holderAlive(QLockFile& lock) const {
    qint64 pid = 0;
    QString host;
    // Unreadable, half written or from another machine: someone else's lock all the same.
    if (!lock.getLockInfo(&pid, &host, nullptr) || host != QSysInfo::machineHostName())
        return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool SingleInstance::takeLock() {
    for (const QString& path :
         {lockPathFor(m_storeFolder), runtimeLockPathFor(m_storeFolder, m_runtimeFolder)}) {
        if (path.isEmpty())
            continue;
        auto lock = std::make_unique<QLockFile>(path);
        // Held for the whole run: only a holder that is gone (a crash, a kill) makes it stale.
        lock->setStaleLockTime(0);
        const bool taken = lock->tryLock(0);
        // A lock of a process that is gone but that a read-only folder keeps counts as none.
        if (taken || (lock->error() == QLockFile::LockFailedError && holderAlive(*lock))) {
            m_lock = std::move(lock);
            m_lockPath = path;
            m_locked = taken;
            return taken;
        }
        qCDebug(lcShell).noquote() << "no lock at" << path << "error" << lock->error();
    }
    qCWarning(lcShell).noquote() << "no lock can be taken for the store in" << m_storeFolder
                                 << "nor in the runtime folder" << m_runtimeFolder
                                 << "; running without one";
    return true;
}

SingleInstance::Claim SingleInstance::claim() {
    return takeLock() ? Claim::Holder : askHolder(ShowRequest, nullptr);
}

SingleInstance::Claim SingleInstance::forward(const QByteArray& request, QByteArray& answer) {
    return takeLock() ? Claim::Holder : askHolder(request + '\n', &answer);
}

SingleInstance::Claim SingleInstance::askHolder(const QByteArray& request, QByteArray* answer) {
    // A holder opens its socket once it has started; one that took its lock only just now
    // gets the rest of a start-up's time, one that runs already a second to answer.
    const QDateTime locked = QFileInfo(m_lockPath).lastModified();
    const qint64 age = locked.isValid() ? locked.msecsTo(QDateTime::currentDateTime()) : 0;
    const QDeadlineTimer starting(
        std::clamp<qint64>(StartupGraceMs - age, AnswerTimeoutMs, StartupGraceMs));
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(AnswerTimeoutMs)) {
            socket.write(request);
            const int timeoutMs = answer ? RequestTimeoutMs : AnswerTimeoutMs;
            const QDeadlineTimer deadline(timeoutMs);
            while (!socket.canReadLine() && socket.waitForReadyRead(deadline.remainingTime())) {
            }
            const QByteArray line = socket.canReadLine() ? socket.readLine() : QByteArray();
            if (!answer && line == ShownAnswer)
                return Claim::Shown;
            if (answer && line.endsWith('\n')) {
                *answer = line.chopped(1);
                return Claim::Answered;
            }
            qCWarning(lcShell) << "the running copy did not answer within" << timeoutMs << "ms";
            return Claim::NotAnswering;
        }
        // The holder may have ended meanwhile.
        if (m_lock->tryLock(0)) {
            m_locked = true;
            return Claim::Holder;
        }
        if (starting.hasExpired()) {
            qCWarning(lcShell).noquote()
                << "the copy that holds" << m_lockPath << "opened no socket at" << m_key;
            return Claim::NotAnswering;
        }
        QThread::msleep(50);
    }
}

bool SingleInstance::listen() {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_key) && m_locked) {
        // The lock is ours, so a socket that is still there was left by a crash.
        QLocalServer::removeServer(m_key);
        m_server.listen(m_key);
    }
    if (m_server.isListening())
        return true;
    qCWarning(lcShell).noquote() << "later starts cannot reach this one: no socket at" << m_key
                                 << ":" << m_server.errorString();
    return false;
}

QString SingleInstance::notAnsweringMessage() const {
    qint64 pid = 0;
    QString host;
    if (!m_lock || !m_lock->getLockInfo(&pid, &host, nullptr))
        return QStringLiteral("TikkoClock已在运行，但没有响应：请结束它，然后再启动本程序。");
    if (host != QSysInfo::machineHostName())
        return QStringLiteral(
                   "这份闹钟正由电脑“%1”上的TikkoClock（进程号 %2）使用：请先在那台电脑上"
                   "退出它，再在这里启动。")
            .arg(host)
            .arg(pid);
    return QStringLiteral("TikkoClock已在运行（进程号 %1），但没有响应：请在系统监视器中结束该进程"
                          "（或执行 kill %1），然后再启动本程序。")
        .arg(pid);
}

QString SingleInstance::unreachableMessage() {
    return QStringLiteral("再次启动TikkoClock将无法打开这个窗口：请点击通知区域的图标打开它。");
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                if (line == ShowRequest) {
                    emit showRequested();
                    // Tells the later start that this one is alive and has shown itself.
                    socket->write(ShownAnswer);
                } else if (m_handler && line.endsWith('\n')) {
                    socket->write(m_handler(line.chopped(1)) + '\n');
                    // Out before a request to quit ends the event loop.
                    socket->flush();
                }
            }
        });
    }
}

} // namespace tikko
