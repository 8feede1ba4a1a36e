#include "tikko/shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace tikko {

namespace {
constexpr int AnswerTimeoutMs = 500;
const QByteArray ShowRequest = "show\n";
} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent)
    , m_key(std::move(key)) {
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

QString SingleInstance::keyFor(const QString& storeFolder) {
    const QByteArray folder = QDir::cleanPath(QDir(storeFolder).absolutePath()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("TikkoClock-") + QString::fromLatin1(hash.left(16));
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return false;
    socket.write(ShowRequest);
    socket.waitForBytesWritten(AnswerTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim() {
    if (askRunningInstance())
        return false;
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_key))
        return true;
    // Someone may have started just now; otherwise the name is left over from a crash.
    if (askRunningInstance())
        return false;
    QLocalServer::removeServer(m_key);
    m_server.listen(m_key);
    return true;
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
