#include "ControlClient.h"

#include <QLocalSocket>

namespace norvane::control {

ControlClient::Result ControlClient::send(const Request &request, int connectTimeoutMs,
                                          int replyTimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(connectTimeoutMs))
        return {std::nullopt, Failure::notRunning};
    socket.write(request.encoded());
    if (!socket.waitForBytesWritten(connectTimeoutMs))
        return {std::nullopt, Failure::noAnswer};
    while (!socket.canReadLine()) {
        if (socket.state() != QLocalSocket::ConnectedState ||
            !socket.waitForReadyRead(replyTimeoutMs))
            break;
    }
    if (!socket.canReadLine())
        return {std::nullopt, Failure::noAnswer};
    std::optional<Response> response = Response::decode(socket.readLine());
    socket.disconnectFromServer();
    return {response, Failure::noAnswer};
}

bool ControlClient::post(const Request &request, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(request.encoded());
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}

} // namespace norvane::control
