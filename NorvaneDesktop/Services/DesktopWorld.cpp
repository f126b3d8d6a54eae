#include "DesktopWorld.h"

#include "DesktopConfigurationBackend.h"
#include "DesktopReadings.h"
#include "DesktopSettingsAdapter.h"
#include "DesktopWatcher.h"
#include "Platform/Linux/ProcessApplications.h"
#include "PowerServices.h"

namespace norvane {

DesktopWorld::DesktopWorld(std::shared_ptr<const DesktopSettingsAdapter> settings)
    : m_settings(std::move(settings)), m_identity(m_settings->identity()) {}

std::shared_ptr<ConfigurationBackend> DesktopWorld::configurationBackend() const {
    return std::make_shared<DesktopConfigurationBackend>(
        m_settings,
        OriginalSettingsBackup(OriginalSettingsBackup::defaultPath(m_identity.id), m_identity.id));
}

SystemSettings DesktopWorld::readSettings() const {
    return readDesktopSettings(
        [settings = m_settings] { return settings->read(); }, m_settings->session(),
        [settings = m_settings](qint64 percentage) { return settings->lowBattery(percentage); });
}

PowerStatus DesktopWorld::readPower() const {
    return PowerStatus::read(UPowerSources());
}

std::optional<PowerAssertions> DesktopWorld::readHolders() const {
    return readSleepHolders(m_settings->session());
}

QSet<QString> DesktopWorld::runningApplications(const QStringList &names) const {
    return runningLinuxApplications(names);
}

std::optional<QString> DesktopWorld::cannotHold(const Profile &profile) const {
    return m_settings->cannotHold(profile);
}

std::unique_ptr<SystemWatcher> DesktopWorld::watch() const {
    return std::make_unique<DesktopWatcher>(m_settings->watched());
}

} // namespace norvane
