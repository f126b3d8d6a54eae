#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace norvane::test {

// One python-dbusmock process on a bus: a template of a real service (upower, logind,
// power_profiles_daemon, notification_daemon) or a plain mock object to which methods and objects
// are added. Ready once it owns its name on the bus; ends with the object.
class DBusMock {
public:
    // The template of GNOME's session manager beside these tests.
    static constexpr const char *kGnomeSession =
        NORVANE_SOURCE_DIR "/tests/desktop/gnome_session.py";
    // And of KDE's PowerDevil, its reload and its policy agent.
    static constexpr const char *kPowerDevil = NORVANE_SOURCE_DIR "/tests/desktop/powerdevil.py";

    // A template (upower, logind, power_profiles_daemon, or the path of one of these tests'
    // own, such as kGnomeSession), with its parameters as JSON ("{\"OnBattery\": true}").
    DBusMock(QDBusConnection::BusType bus, const QString &templateName,
             const QString &parameters = {});
    // A plain object of `service` at `path` with `interface`.
    DBusMock(QDBusConnection::BusType bus, const QString &service, const QString &path,
             const QString &interface);
    ~DBusMock();
    DBusMock(const DBusMock &) = delete;
    DBusMock &operator=(const DBusMock &) = delete;

    [[nodiscard]] bool ready() const { return m_ready; }
    // Calls a method of the mock's own interface (org.freedesktop.DBus.Mock) on `path`; true
    // when it answered.
    bool mock(const QString &method, const QVariantList &arguments, const QString &path = {});
    // Calls any method of the mocked service; the reply's arguments, empty on failure.
    QVariantList call(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments = {});

private:
    void start(const QStringList &arguments, const QString &service);

    QDBusConnection::BusType m_bus;
    QString m_service;
    QString m_path;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace norvane::test
