#include "XfceWorld.h"

#include "Platform/Linux/ProcessApplications.h"
#include "Services/DBusCalls.h"
#include "Services/DesktopReadings.h"
#include "Services/DesktopWatcher.h"
#include "Services/PowerServices.h"
#include "XfceConfigurationBackend.h"
#include "XfceIdleSettings.h"

#include <QDBusConnectionInterface>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

} // namespace

SystemIdentity XfceWorld::xfceIdentity() {
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

bool XfceWorld::answers() {
    QDBusConnection session = dbus::connection(QDBusConnection::SessionBus);
    if (!session.isConnected() || !session.interface())
        return false;
    const QString xfconf = u"org.xfce.Xfconf"_s;
    return session.interface()->isServiceRegistered(xfconf) ||
           session.interface()->activatableServiceNames().value().contains(xfconf);
}

std::shared_ptr<ConfigurationBackend> XfceWorld::configurationBackend() const {
    const QString id = xfceIdentity().id;
    return std::make_shared<XfceConfigurationBackend>(
        OriginalSettingsBackup(OriginalSettingsBackup::defaultPath(id), id));
}

SystemSettings XfceWorld::readSettings() const {
    return readDesktopSettings([] { return XfceIdleSettings().configuration(); },
                               DesktopSession::none);
}

PowerStatus XfceWorld::readPower() const {
    return PowerStatus::read(UPowerSources());
}

std::optional<PowerAssertions> XfceWorld::readHolders() const {
    return readSleepHolders(DesktopSession::none);
}

QSet<QString> XfceWorld::runningApplications(const QStringList &names) const {
    return runningLinuxApplications(names);
}

std::optional<QString> XfceWorld::cannotHold(const Profile &profile) const {
    return XfceIdleSettings::refusedSleep(profile.sleepMinutes,
                                          XfceIdleSettings::powerManagerVersion(true));
}

std::unique_ptr<SystemWatcher> XfceWorld::watch() const {
    return std::make_unique<DesktopWatcher>(
        WatchedSettings{.xfconfChannels = {u"xfce4-power-manager"_s, u"xfce4-screensaver"_s}});
}

} // namespace norvane
