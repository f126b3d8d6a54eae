#include "GnomeWorld.h"

#include "Configuration/ConfigurationError.h"
#include "DesktopWatcher.h"
#include "GnomeConfigurationBackend.h"
#include "GnomeIdleSettings.h"
#include "Localization/L10n.h"
#include "PowerServices.h"
#include "SleepHolders.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

QString sourceText(const std::optional<QString> &providing) {
    if (providing == u"AC Power")
        return L10n::text("Power adapter");
    if (providing == u"Battery Power")
        return L10n::text("Battery");
    if (providing == u"UPS Power")
        return u"UPS"_s;
    return L10n::text("Unavailable");
}

// The holders' processes as pmset's remarks list them ("Videos, Firefox").
std::optional<QString> processes(const PowerAssertions &holders,
                                 bool (PowerAssertion::*keeps)() const) {
    QStringList names;
    for (const PowerAssertion &holder : holders.holders)
        if ((holder.*keeps)() && !names.contains(holder.process))
            names << holder.process;
    return names.isEmpty() ? std::nullopt : std::optional(names.join(u", "_s));
}

} // namespace

SystemIdentity GnomeWorld::gnomeIdentity() {
    SystemIdentity identity;
    identity.id = u"gnome"_s;
    identity.name = u"GNOME"_s;
    identity.isMac = false;
    identity.ownScreenSaverTimer = false;
    identity.timersSource = u"GSettings org.gnome.desktop.session idle-delay, "
                            "org.gnome.settings-daemon.plugins.power sleep-inactive-*"_s;
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
    SystemSettings settings;
    settings.readAt = QDateTime::currentDateTime();
    const std::optional<PowerSourceSnapshot> power = UPowerSources().snapshot();
    settings.source = sourceText(power ? power->providingType : std::nullopt);
    try {
        const MacConfiguration idle = GnomeIdleSettings().configuration();
        // The battery's timer while the battery powers the computer, else the adapter's.
        const bool onBattery = power && power->providingType != u"AC Power";
        settings.displayMinutes = idle.sources[0].display;
        settings.sleepMinutes = idle.sources[onBattery ? 0 : 1].sleep;
    } catch (const ConfigurationError &error) {
        settings.error = error.errorDescription();
    }
    settings.lowPower = powerSaverActive();
    if (const std::optional<PowerAssertions> holders = readSleepHolders()) {
        settings.displaySleepPreventers = processes(*holders, &PowerAssertion::keepsDisplayOn);
        settings.sleepPreventers = processes(*holders, &PowerAssertion::keepsMacAwake);
        settings.displayAssertion = settings.displaySleepPreventers.has_value();
        settings.systemAssertion = settings.sleepPreventers.has_value();
    }
    return settings;
}

PowerStatus GnomeWorld::readPower() const {
    return PowerStatus::read(UPowerSources());
}

std::optional<PowerAssertions> GnomeWorld::readHolders() const {
    return readSleepHolders();
}

std::unique_ptr<SystemWatcher> GnomeWorld::watch() const {
    return std::make_unique<DesktopWatcher>(
        QStringList{u"org.gnome.desktop.session"_s, u"org.gnome.settings-daemon.plugins.power"_s});
}

} // namespace norvane
