#include "DBusMock.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>

namespace norvane::test {

namespace {

QDBusConnection connection(QDBusConnection::BusType bus) {
    return bus == QDBusConnection::SystemBus ? QDBusConnection::systemBus()
                                             : QDBusConnection::sessionBus();
}

// The bus name and main object of each template used here.
std::pair<QString, QString> templateName(const QString &name) {
    if (name == u"upower")
        return {QStringLiteral("org.freedesktop.UPower"),
                QStringLiteral("/org/freedesktop/UPower")};
    if (name == u"logind")
        return {QStringLiteral("org.freedesktop.login1"),
                QStringLiteral("/org/freedesktop/login1")};
    if (name.endsWith(u"powerdevil.py"))
        return {QStringLiteral("org.kde.Solid.PowerManagement"),
                QStringLiteral("/org/kde/Solid/PowerManagement")};
    if (name == u"notification_daemon")
        return {QStringLiteral("org.freedesktop.Notifications"),
                QStringLiteral("/org/freedesktop/Notifications")};
    if (name.endsWith(u"gnome_session.py"))
        return {QStringLiteral("org.gnome.SessionManager"),
                QStringLiteral("/org/gnome/SessionManager")};
    return {QStringLiteral("net.hadess.PowerProfiles"),
            QStringLiteral("/net/hadess/PowerProfiles")};
}

} // namespace

DBusMock::DBusMock(QDBusConnection::BusType bus, const QString &templateName_,
                   const QString &parameters)
    : m_bus(bus) {
    const auto [service, path] = templateName(templateName_);
    m_service = service;
    m_path = path;
    QStringList arguments{QStringLiteral("--template"), templateName_};
    if (!parameters.isEmpty())
        arguments << QStringLiteral("-p") << parameters;
    start(arguments, service);
}

DBusMock::DBusMock(QDBusConnection::BusType bus, const QString &service, const QString &path,
                   const QString &interface)
    : m_bus(bus), m_service(service), m_path(path) {
    start({service, path, interface}, service);
}

void DBusMock::start(const QStringList &arguments, const QString &service) {
    // Ready once the name is this mock's: the previous mock of the same service may still hold it
    // for a moment after it ended, until the bus has seen it go.
    QDBusConnectionInterface *bus = connection(m_bus).interface();
    const auto ours = [&] {
        const QDBusReply<uint> owner = bus->servicePid(service);
        return owner.isValid() && qint64(owner.value()) == m_process.processId();
    };
    QDBusServiceWatcher watcher(service, connection(m_bus),
                                QDBusServiceWatcher::WatchForOwnerChange);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged, &loop, &QEventLoop::quit);
    QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer guard; // never the expected path
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(30'000);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The mock logs every call to its standard output: unread, a full pipe would stop it
    // answering while a test or benchmark runs no event loop.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // Debian's python3-dbusmock belongs to the system's Python.
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                m_bus == QDBusConnection::SystemBus ? QStringLiteral("--system")
                                                                    : QStringLiteral("--session")} +
                        arguments);
    while (!ours() && m_process.state() != QProcess::NotRunning && guard.isActive())
        loop.exec();
    m_ready = ours();
}

DBusMock::~DBusMock() {
    m_process.terminate();
    m_process.waitForFinished(10'000);
}

bool DBusMock::mock(const QString &method, const QVariantList &arguments, const QString &path) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(m_service, path.isEmpty() ? m_path : path,
                                       QStringLiteral("org.freedesktop.DBus.Mock"), method);
    message.setArguments(arguments);
    return connection(m_bus).call(message, QDBus::Block, 10'000).type() ==
           QDBusMessage::ReplyMessage;
}

QVariantList DBusMock::call(const QString &path, const QString &interface, const QString &method,
                            const QVariantList &arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = connection(m_bus).call(message, QDBus::Block, 10'000);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList{};
}

} // namespace norvane::test
