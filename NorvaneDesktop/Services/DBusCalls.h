#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <optional>

// Blocking D-Bus calls that never wait long: every call gives up after a second, and a missing
// bus, service or answer is no answer. Safe on any thread; keep them off the main thread.
namespace norvane::dbus {

// How long a call waits for its answer: a second, or PELLOR_DBUS_TIMEOUT_MS milliseconds (for a
// machine so busy that its services cannot answer within one, as under the tests).
[[nodiscard]] int timeoutMs();
void setTimeoutMs(int milliseconds);
// A time limit in seconds, for a message: "1", "0.5", "15".
[[nodiscard]] QString secondsText(int milliseconds);

// An object of a service on a bus.
struct Address {
    QDBusConnection::BusType bus;
    QString service;
    QString path;
};

// The reply's arguments, or none.
[[nodiscard]] std::optional<QList<QVariant>> call(const Address &address, const QString &interface,
                                                  const QString &method,
                                                  const QVariantList &arguments = {});
// Calls a method for its effect (a service asked to reload), without starting a service that is
// not running; true when it answered.
bool notify(const Address &address, const QString &interface, const QString &method);
// The interface's properties (org.freedesktop.DBus.Properties.GetAll), or none.
[[nodiscard]] std::optional<QVariantMap> properties(const Address &address,
                                                    const QString &interface);

// The object paths of an "ao" argument, however it was delivered.
[[nodiscard]] QList<QDBusObjectPath> objectPaths(const QVariant &argument);

// The connection to a bus, or one that is not connected when there is no such bus.
[[nodiscard]] QDBusConnection connection(QDBusConnection::BusType bus);

} // namespace norvane::dbus
