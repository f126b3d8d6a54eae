#include "MacWorld.h"

#include "Configuration/NativeConfigurationBackend.h"
#include "Configuration/OriginalSettingsBackup.h"
#include "FilesWatcher.h"
#include "Platform/Simulated/SimulatedMac.h"

#include <QDir>

namespace norvane {

MacWorld::MacWorld(Platform platform, SystemIdentity identity)
    : m_platform(std::move(platform)), m_identity(std::move(identity)) {}

std::shared_ptr<ConfigurationBackend> MacWorld::configurationBackend() const {
    return std::make_shared<NativeConfigurationBackend>(
        m_platform, OriginalSettingsBackup::defaultPath(m_identity.id), m_identity.id);
}

SystemSettings MacWorld::readSettings() const {
    return SystemSettings::read(m_platform);
}

PowerStatus MacWorld::readPower() const {
    return PowerStatus::read(*m_platform.powerSources);
}

std::optional<PowerAssertions> MacWorld::readHolders() const {
    return PowerAssertions::read(m_platform);
}

std::unique_ptr<SystemWatcher> MacWorld::watch() const {
    if (m_identity.id != SystemIdentity::simulated().id)
        return nullptr;
    return std::make_unique<FilesWatcher>(
        QStringList{QDir(simulatorHome()).filePath(QStringLiteral("state.json"))});
}

QSet<QString> MacWorld::runningApplications(const QStringList &names) const {
    if (!m_platform.applications)
        return {};
    const QStringList running = m_platform.applications->bundleIdentifiers();
    QSet<QString> found;
    for (const QString &name : names)
        if (running.contains(name, Qt::CaseInsensitive))
            found.insert(name);
    return found;
}

} // namespace norvane
