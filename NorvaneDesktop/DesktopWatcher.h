#pragma once

#include "Worlds/World.h"

#include <QList>
#include <QStringList>

class QTimer;
struct _GSettings;

namespace norvane {

// Tells when a desktop's watched GSettings schemas or the system's power services change: every
// "changed" signal of the schemas, and every PropertiesChanged of UPower and power-profiles-daemon.
// Changes that arrive together are told once. Lives on the thread that made it, whose event loop
// delivers GLib's and D-Bus's signals.
class DesktopWatcher final : public SystemWatcher {
    Q_OBJECT

public:
    // Schemas that are not installed are left out.
    explicit DesktopWatcher(const QStringList &schemas, QObject *parent = nullptr);
    ~DesktopWatcher() override;

private Q_SLOTS:
    void propertiesChanged();

private:
    static void settingsChanged(_GSettings *settings, const char *key, DesktopWatcher *watcher);

    QList<_GSettings *> m_settings;
    QTimer *m_coalesce;
};

} // namespace norvane
