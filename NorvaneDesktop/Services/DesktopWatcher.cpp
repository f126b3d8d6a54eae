#include "DesktopWatcher.h"

#include "DBusCalls.h"
#include "Worlds/FilesWatcher.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <gio/gio.h>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

// The services whose properties Pellor shows: power sources, and Low Power Mode under both of
// power-profiles-daemon's names.
const QStringList &watchedServices() {
    static const QStringList services{u"org.freedesktop.UPower"_s,
                                      u"org.freedesktop.UPower.PowerProfiles"_s,
                                      u"net.hadess.PowerProfiles"_s};
    return services;
}

} // namespace

DesktopWatcher::DesktopWatcher(const WatchedSettings &watched, QObject *parent)
    : SystemWatcher(parent), m_channels(watched.xfconfChannels), m_coalesce(new QTimer(this)) {
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(100);
    connect(m_coalesce, &QTimer::timeout, this, &SystemWatcher::changed);

    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    for (const QString &id : watched.schemas) {
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, id.toUtf8().constData(), TRUE)
                   : nullptr;
        if (!schema)
            continue;
        GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
        g_settings_schema_unref(schema);
        g_signal_connect(settings, "changed", G_CALLBACK(&DesktopWatcher::settingsChanged), this);
        m_settings << settings;
    }

    QDBusConnection bus = dbus::connection(QDBusConnection::SystemBus);
    if (bus.isConnected())
        for (const QString &service : watchedServices())
            bus.connect(service, {}, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s,
                        this, SLOT(propertiesChanged()));

    QDBusConnection session = dbus::connection(QDBusConnection::SessionBus);
    if (!m_channels.isEmpty() && session.isConnected()) {
        const QString xfconf = u"org.xfce.Xfconf"_s;
        session.connect(xfconf, u"/org/xfce/Xfconf"_s, xfconf, u"PropertyChanged"_s, this,
                        SLOT(xfconfChanged(QString, QString, QDBusVariant)));
        session.connect(xfconf, u"/org/xfce/Xfconf"_s, xfconf, u"PropertyRemoved"_s, this,
                        SLOT(xfconfRemoved(QString, QString)));
    }

    if (!watched.files.isEmpty()) {
        auto *files = new FilesWatcher(watched.files, this);
        connect(files, &SystemWatcher::changed, m_coalesce, qOverload<>(&QTimer::start));
    }
}

DesktopWatcher::~DesktopWatcher() {
    for (GSettings *settings : std::as_const(m_settings)) {
        g_signal_handlers_disconnect_by_data(settings, this);
        g_object_unref(settings);
    }
}

void DesktopWatcher::settingsChanged(GSettings *, const char *, DesktopWatcher *watcher) {
    watcher->m_coalesce->start();
}

void DesktopWatcher::propertiesChanged() {
    m_coalesce->start();
}

void DesktopWatcher::xfconfChanged(const QString &channel, const QString &, const QDBusVariant &) {
    if (m_channels.contains(channel))
        m_coalesce->start();
}

void DesktopWatcher::xfconfRemoved(const QString &channel, const QString &) {
    if (m_channels.contains(channel))
        m_coalesce->start();
}

} // namespace norvane
