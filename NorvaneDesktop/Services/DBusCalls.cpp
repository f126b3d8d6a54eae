#include "DBusCalls.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <atomic>

namespace norvane::dbus {

namespace {

int configuredTimeout() {
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("PELLOR_DBUS_TIMEOUT_MS", &ok);
    return ok && milliseconds > 0 ? milliseconds : 1000;
}

// Read at the first call, once the program has set up its environment.
std::atomic<int> &timeout() {
    static std::atomic<int> milliseconds{configuredTimeout()};
    return milliseconds;
}

} // namespace

int timeoutMs() {
    return timeout();
}

void setTimeoutMs(int milliseconds) {
    timeout() = milliseconds;
}

QString secondsText(int milliseconds) {
    return QString::number(milliseconds / 1000.0, 'g', 3);
}

QDBusConnection connection(QDBusConnection::BusType bus) {
    return bus == QDBusConnection::SystemBus ? QDBusConnection::systemBus()
                                             : QDBusConnection::sessionBus();
}

std::optional<QList<QVariant>> call(const Address &address, const QString &interface,
                                    const QString &method, const QVariantList &arguments) {
    QDBusConnection bus = connection(address.bus);
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage message =
        QDBusMessage::createMethodCall(address.service, address.path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs());
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

bool notify(const Address &address, const QString &interface, const QString &method) {
    QDBusConnection bus = connection(address.bus);
    if (!bus.isConnected())
        return false;
    QDBusMessage message =
        QDBusMessage::createMethodCall(address.service, address.path, interface, method);
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, timeoutMs()).type() == QDBusMessage::ReplyMessage;
}

std::optional<QVariantMap> properties(const Address &address, const QString &interface) {
    const auto reply = call(address, QStringLiteral("org.freedesktop.DBus.Properties"),
                            QStringLiteral("GetAll"), {interface});
    if (!reply || reply->isEmpty())
        return std::nullopt;
    const QVariant &first = reply->first();
    if (first.canConvert<QDBusArgument>()) {
        QVariantMap map;
        first.value<QDBusArgument>() >> map;
        return map;
    }
    return first.toMap();
}

QList<QDBusObjectPath> objectPaths(const QVariant &argument) {
    if (argument.canConvert<QList<QDBusObjectPath>>() &&
        argument.metaType() == QMetaType::fromType<QList<QDBusObjectPath>>())
        return argument.value<QList<QDBusObjectPath>>();
    QList<QDBusObjectPath> paths;
    if (argument.canConvert<QDBusArgument>())
        argument.value<QDBusArgument>() >> paths;
    return paths;
}

} // namespace norvane::dbus
