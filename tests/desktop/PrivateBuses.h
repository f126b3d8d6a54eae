#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace norvane::test {

// A session bus and a system bus of this test run only, with the run's own settings folders:
// dconf, started on demand by the session bus, keeps its database in this run's
// XDG_CONFIG_HOME. Exports their addresses before anything in the process talks to a bus.
class PrivateBuses {
public:
    PrivateBuses();
    ~PrivateBuses();
    PrivateBuses(const PrivateBuses &) = delete;
    PrivateBuses &operator=(const PrivateBuses &) = delete;

    [[nodiscard]] bool started() const { return !m_sessionPid.isEmpty() && !m_systemPid.isEmpty(); }
    [[nodiscard]] QString folder(const QString &name) const { return m_root.filePath(name); }

private:
    // Starts a daemon that forks and prints its address and its process id; returns the address.
    static QString startDaemon(const QStringList &arguments, QString &pid);

    QTemporaryDir m_root;
    QString m_sessionPid;
    QString m_systemPid;
};

} // namespace norvane::test
