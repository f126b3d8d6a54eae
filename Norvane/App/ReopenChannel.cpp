#include "ReopenChannel.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace norvane {

namespace {

constexpr int timeoutMs = 500;

} // namespace

ReopenChannel::ReopenChannel(std::function<void()> onReopen, QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_onReopen(std::move(onReopen)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName()); // left behind by a process that crashed
    if (!m_server->listen(serverName()))
        qWarning("Pellor cannot listen for reopen requests: %s",
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
            if (m_onReopen)
                m_onReopen();
        }
    });
}

bool ReopenChannel::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

QString ReopenChannel::serverName() {
    const QByteArray place =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toUtf8();
    return QStringLiteral("pellor-") +
           QString::fromLatin1(
               QCryptographicHash::hash(place, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace norvane
