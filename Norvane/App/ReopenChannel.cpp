#include "ReopenChannel.h"

#include "ControlClient.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace norvane {

namespace {

constexpr int timeoutMs = 500;
// A request is one short line; anything longer is not one of ours.
constexpr qint64 maxRequestBytes = 64LL * 1024;

} // namespace

ReopenChannel::ReopenChannel(Handler handler, QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_handler(std::move(handler)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName()); // left behind by a process that crashed
    if (!m_server->listen(serverName()))
        qWarning("Pellor cannot listen for reopen requests: %s",
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &ReopenChannel::accept);
}

void ReopenChannel::accept() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxRequestBytes)
                    socket->abort();
                return;
            }
            const std::optional<control::Request> request =
                control::Request::decode(socket->readLine(maxRequestBytes));
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr); // one request each
            // The reply may come long after (an apply waits for authorization); the client may
            // have gone by then.
            const QPointer<QLocalSocket> guarded(socket);
            const Reply reply = [guarded](const control::Response &response) {
                if (!guarded || guarded->state() != QLocalSocket::ConnectedState)
                    return;
                guarded->write(response.encoded());
                guarded->disconnectFromServer();
            };
            if (!request)
                reply({control::Response::Outcome::invalid, {}, {}});
            else if (m_handler)
                m_handler(*request, reply);
        });
    }
}

bool ReopenChannel::askRunningInstance() {
    return control::ControlClient::post({control::Request::Kind::show, {}, {}}, timeoutMs);
}

} // namespace norvane
