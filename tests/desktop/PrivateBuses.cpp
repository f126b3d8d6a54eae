#include "PrivateBuses.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gio/gio.h>

namespace norvane::test {

namespace {

// A system bus that lets every peer own any name and talk to any other: the mocks of the
// system's services own their real names here.
constexpr char kSystemBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBuses::PrivateBuses() {
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "NORVANE_SIM_HOME"}) {
        const QString path = folder(QString::fromLatin1(variable));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, path.toLocal8Bit());
    }
    qputenv("GSETTINGS_BACKEND", "dconf");
    qunsetenv("DCONF_PROFILE");

    QFile config(folder(QStringLiteral("system-bus.conf")));
    if (config.open(QIODevice::WriteOnly))
        config.write(kSystemBusConfig);
    config.close();
    const QString session =
        startDaemon({QStringLiteral("--session"), QStringLiteral("--nosyslog")}, m_sessionPid);
    const QString system = startDaemon(
        {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nosyslog")},
        m_systemPid);
    qputenv("DBUS_SESSION_BUS_ADDRESS", session.toLocal8Bit());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", system.toLocal8Bit());
}

PrivateBuses::~PrivateBuses() {
    // GLib ends the process when the bus its shared connection uses goes away (dconf's client
    // holds one): not when it is these buses, which go with the run.
    for (const GBusType bus : {G_BUS_TYPE_SESSION, G_BUS_TYPE_SYSTEM})
        if (GDBusConnection *connection = g_bus_get_sync(bus, nullptr, nullptr)) {
            g_dbus_connection_set_exit_on_close(connection, FALSE);
            g_object_unref(connection);
        }
    for (const QString &pid : {m_sessionPid, m_systemPid})
        if (!pid.isEmpty())
            ::kill(pid.toInt(), SIGTERM);
}

QString PrivateBuses::startDaemon(const QStringList &arguments, QString &pid) {
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 arguments + QStringList{QStringLiteral("--fork"),
                                         QStringLiteral("--print-address=1"),
                                         QStringLiteral("--print-pid=1")});
    if (!daemon.waitForFinished(30'000) || daemon.exitCode() != 0)
        return {};
    const QStringList lines = QString::fromUtf8(daemon.readAllStandardOutput()).split(u'\n');
    if (lines.size() < 2)
        return {};
    pid = lines[1].trimmed();
    return lines[0].trimmed();
}

} // namespace norvane::test
