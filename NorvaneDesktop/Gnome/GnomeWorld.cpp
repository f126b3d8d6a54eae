#include "GnomeWorld.h"

#include "GnomeConfigurationBackend.h"
#include "GnomeIdleSettings.h"
#include "Platform/Linux/ProcessApplications.h"
#include "Services/DesktopReadings.h"
#include "Services/DesktopWatcher.h"
#include "Services/PowerServices.h"
#include "Services/SleepHolders.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

} // namespace

SystemIdentity GnomeWorld::gnomeIdentity() {
    SystemIdentity identity;
    identity.id = u"gnome"_s;
    identity.name = u"GNOME"_s;
    identity.isMac = false;
    identity.ownScreenSaverTimer = false;
    identity.timersSource = u"GSettings org.gnome.desktop.session idle-delay, "
                            "org.gnome.settings-daemon.plugins.power sleep-inactive-*, idle-dim"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource = u"GSettings org.gnome.desktop.session idle-delay"_s;
    identity.holdersSource = u"logind ListInhibitors, org.gnome.SessionManager GetInhibitors"_s;
    identity.powerSettingsCommand = {u"gnome-control-center"_s, u"power"_s};
    return identity;
}

bool GnomeWorld::answers() {
    return GnomeIdleSettings::isInstalled();
}

std::shared_ptr<ConfigurationBackend> GnomeWorld::configurationBackend() const {
    const QString id = gnomeIdentity().id;
    return std::make_shared<GnomeConfigurationBackend>(
        OriginalSettingsBackup(OriginalSettingsBackup::defaultPath(id), id));
}

SystemSettings GnomeWorld::readSettings() const {
    return readDesktopSettings([] { return GnomeIdleSettings().configuration(); },
                               DesktopSession::gnome);
}

PowerStatus GnomeWorld::readPower() const {
    return PowerStatus::read(UPowerSources());
}

std::optional<PowerAssertions> GnomeWorld::readHolders() const {
    return readSleepHolders();
}

QSet<QString> GnomeWorld::runningApplications(const QStringList &names) const {
    return runningLinuxApplications(names);
}

std::unique_ptr<SystemWatcher> GnomeWorld::watch() const {
    return std::make_unique<DesktopWatcher>(WatchedSettings{
        .schemas = {u"org.gnome.desktop.session"_s, u"org.gnome.settings-daemon.plugins.power"_s}});
}

} // namespace norvane
