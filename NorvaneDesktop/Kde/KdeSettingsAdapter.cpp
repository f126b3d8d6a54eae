#include "KdeSettingsAdapter.h"

#include "KdeConfigFile.h"
#include "Services/DBusCalls.h"

#include <QDBusConnectionInterface>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

} // namespace

KdeSettingsAdapter::KdeSettingsAdapter() : m_plasma(KdeIdleSettings::detect()) {}

bool KdeSettingsAdapter::answers() {
    QDBusConnection session = dbus::connection(QDBusConnection::SessionBus);
    if (session.isConnected() && session.interface() &&
        session.interface()->isServiceRegistered(u"org.kde.Solid.PowerManagement"_s))
        return true;
    return KdeConfigFile(KdeIdleSettings::profilesFile(KdeIdleSettings::Plasma::five)).exists() ||
           KdeConfigFile(KdeIdleSettings::profilesFile(KdeIdleSettings::Plasma::six)).exists();
}

SystemIdentity KdeSettingsAdapter::identity() const {
    SystemIdentity identity;
    identity.id = u"kde"_s;
    identity.name = u"KDE Plasma"_s;
    identity.isMac = false;
    identity.timersSource =
        m_plasma == KdeIdleSettings::Plasma::five
            ? u"powermanagementprofilesrc [AC|Battery][DPMSControl], [DimDisplay], [SuspendSession]"_s
            : u"powerdevilrc [AC|Battery][Display], [SuspendAndShutdown]"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource = u"kscreenlockerrc [Daemon] Autolock, Timeout"_s;
    identity.holdersSource = u"logind ListInhibitors, org.kde.Solid.PowerManagement.PolicyAgent"_s;
    identity.powerSettingsCommand = {u"systemsettings"_s, u"kcm_powerdevilprofilesconfig"_s};
    return identity;
}

WatchedSettings KdeSettingsAdapter::watched() const {
    return {
        .files = {KdeConfigFile(KdeIdleSettings::profilesFile(KdeIdleSettings::detect())).path(),
                  KdeConfigFile(u"kscreenlockerrc"_s).path()}};
}

MacConfiguration KdeSettingsAdapter::read() const {
    return KdeIdleSettings().configuration();
}

MacConfiguration KdeSettingsAdapter::restoring(const MacConfiguration &backup) const {
    return KdeIdleSettings().restoring(backup);
}

void KdeSettingsAdapter::write(const MacConfiguration &target, const QJsonObject &original) const {
    KdeIdleSettings().write(target, original);
}

MacConfiguration KdeSettingsAdapter::defaults() const {
    return KdeIdleSettings::defaults();
}

std::optional<PowerSourceConfiguration> KdeSettingsAdapter::lowBattery(qint64 percentage) const {
    return KdeIdleSettings().lowBattery(percentage);
}

} // namespace norvane
