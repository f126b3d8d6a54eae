#include "XfceSettingsAdapter.h"

#include "Profiles/Profile.h"
#include "Services/DBusCalls.h"
#include "XfceIdleSettings.h"

#include <QDBusConnectionInterface>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

} // namespace

bool XfceSettingsAdapter::answers() {
    QDBusConnection session = dbus::connection(QDBusConnection::SessionBus);
    if (!session.isConnected() || !session.interface())
        return false;
    const QString xfconf = u"org.xfce.Xfconf"_s;
    return session.interface()->isServiceRegistered(xfconf) ||
           session.interface()->activatableServiceNames().value().contains(xfconf);
}

SystemIdentity XfceSettingsAdapter::identity() const {
    SystemIdentity identity;
    identity.id = u"xfce"_s;
    identity.name = u"Xfce"_s;
    identity.isMac = false;
    identity.timersSource =
        u"xfconf xfce4-power-manager dpms-on-*, blank-on-*, brightness-on-*, inactivity-on-*"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource = u"xfconf xfce4-screensaver /saver/idle-activation"_s;
    identity.holdersSource = u"logind ListInhibitors"_s;
    identity.powerSettingsCommand = {u"xfce4-power-manager-settings"_s};
    return identity;
}

WatchedSettings XfceSettingsAdapter::watched() const {
    return {.xfconfChannels = {u"xfce4-power-manager"_s, u"xfce4-screensaver"_s}};
}

MacConfiguration XfceSettingsAdapter::read() const {
    return XfceIdleSettings().configuration();
}

MacConfiguration XfceSettingsAdapter::restoring(const MacConfiguration &backup) const {
    return XfceIdleSettings().restoring(backup);
}

void XfceSettingsAdapter::write(const MacConfiguration &target, const QJsonObject &original) const {
    XfceIdleSettings().write(target, original);
}

MacConfiguration XfceSettingsAdapter::defaults() const {
    return XfceIdleSettings::defaults();
}

std::optional<QString> XfceSettingsAdapter::cannotHold(const Profile &profile) const {
    return XfceIdleSettings::refusedSleep(profile.sleepMinutes,
                                          XfceIdleSettings::powerManagerVersion(true));
}

} // namespace norvane
