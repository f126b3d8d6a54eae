#include "KdeWorld.h"

#include "KdeConfigFile.h"
#include "KdeConfigurationBackend.h"
#include "KdeIdleSettings.h"
#include "Platform/Linux/ProcessApplications.h"
#include "Services/DBusCalls.h"
#include "Services/DesktopReadings.h"
#include "Services/DesktopWatcher.h"
#include "Services/PowerServices.h"

#include <QDBusConnectionInterface>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QString kId = u"kde"_s;

} // namespace

KdeWorld::KdeWorld() {
    const KdeIdleSettings::Plasma plasma = KdeIdleSettings::detect();
    m_identity.id = kId;
    m_identity.name = u"KDE Plasma"_s;
    m_identity.isMac = false;
    m_identity.timersSource =
        plasma == KdeIdleSettings::Plasma::five
            ? u"powermanagementprofilesrc [AC|Battery][DPMSControl], [DimDisplay], [SuspendSession]"_s
            : u"powerdevilrc [AC|Battery][Display], [SuspendAndShutdown]"_s;
    m_identity.powerSource = u"UPower"_s;
    m_identity.screenSaverSource = u"kscreenlockerrc [Daemon] Autolock, Timeout"_s;
    m_identity.holdersSource =
        u"logind ListInhibitors, org.kde.Solid.PowerManagement.PolicyAgent"_s;
    m_identity.powerSettingsCommand = {u"systemsettings"_s, u"kcm_powerdevilprofilesconfig"_s};
}

bool KdeWorld::answers() {
    QDBusConnection session = dbus::connection(QDBusConnection::SessionBus);
    if (session.isConnected() && session.interface() &&
        session.interface()->isServiceRegistered(u"org.kde.Solid.PowerManagement"_s))
        return true;
    return KdeConfigFile(KdeIdleSettings::profilesFile(KdeIdleSettings::Plasma::five)).exists() ||
           KdeConfigFile(KdeIdleSettings::profilesFile(KdeIdleSettings::Plasma::six)).exists();
}

std::shared_ptr<ConfigurationBackend> KdeWorld::configurationBackend() const {
    return std::make_shared<KdeConfigurationBackend>(
        OriginalSettingsBackup(OriginalSettingsBackup::defaultPath(kId), kId));
}

SystemSettings KdeWorld::readSettings() const {
    return readDesktopSettings(
        [] { return KdeIdleSettings().configuration(); }, DesktopSession::kde,
        [](qint64 percentage) { return KdeIdleSettings().lowBattery(percentage); });
}

PowerStatus KdeWorld::readPower() const {
    return PowerStatus::read(UPowerSources());
}

std::optional<PowerAssertions> KdeWorld::readHolders() const {
    return readSleepHolders(DesktopSession::kde);
}

QSet<QString> KdeWorld::runningApplications(const QStringList &names) const {
    return runningLinuxApplications(names);
}

std::unique_ptr<SystemWatcher> KdeWorld::watch() const {
    const KdeIdleSettings::Plasma plasma = KdeIdleSettings::detect();
    return std::make_unique<DesktopWatcher>(
        WatchedSettings{.files = {KdeConfigFile(KdeIdleSettings::profilesFile(plasma)).path(),
                                  KdeConfigFile(u"kscreenlockerrc"_s).path()}});
}

} // namespace norvane
