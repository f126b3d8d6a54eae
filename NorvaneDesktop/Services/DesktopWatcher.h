#pragma once

#include "Worlds/World.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QStringList>

class QDBusVariant;
class QTimer;
struct _GSettings; // NOLINT(bugprone-reserved-identifier): GLib's own name

namespace norvane {

// Where a desktop keeps the settings Pellor shows.
struct WatchedSettings {
    QStringList schemas = {};        // GSettings schemas (GNOME)
    QStringList xfconfChannels = {}; // xfconf channels (Xfce)
    QStringList files = {};          // configuration files, by path (KDE)
};

// Tells when a desktop's watched settings or the system's power services change: every "changed"
// signal of the schemas, every PropertyChanged or PropertyRemoved of the xfconf channels, every
// change of the files (also when they are replaced by a rename, as KDE writes them), and every
// PropertiesChanged of UPower and power-profiles-daemon. Changes that arrive together are told
// once. Lives on the thread that made it, whose event loop delivers GLib's, D-Bus's and the file
// system's signals.
class DesktopWatcher final : public SystemWatcher {
    Q_OBJECT

public:
    // Schemas that are not installed are left out.
    explicit DesktopWatcher(const WatchedSettings &watched, QObject *parent = nullptr);
    ~DesktopWatcher() override;

private Q_SLOTS:
    void propertiesChanged();
    void xfconfChanged(const QString &channel, const QString &property, const QDBusVariant &value);
    void xfconfRemoved(const QString &channel, const QString &property);

private:
    static void settingsChanged(_GSettings *settings, const char *key, DesktopWatcher *watcher);
    QList<_GSettings *> m_settings;
    QStringList m_channels;
    QTimer *m_coalesce;
};

} // namespace norvane
