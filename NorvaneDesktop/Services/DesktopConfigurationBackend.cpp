#include "DesktopConfigurationBackend.h"

#include "DesktopSettingsAdapter.h"

namespace norvane {

DesktopConfigurationBackend::DesktopConfigurationBackend(
    std::shared_ptr<const DesktopSettingsAdapter> settings, OriginalSettingsBackup backup)
    : m_settings(std::move(settings)), m_backup(std::move(backup)) {}

MacConfiguration DesktopConfigurationBackend::read() {
    return m_settings->read();
}

void DesktopConfigurationBackend::saveOriginalIfNeeded(const MacConfiguration &configuration) {
    m_backup.saveIfMissing(configuration);
}

MacConfiguration DesktopConfigurationBackend::loadOriginal() {
    return m_settings->restoring(m_backup.load());
}

void DesktopConfigurationBackend::write(const MacConfiguration &configuration) {
    QJsonObject original;
    if (configuration.native.isEmpty() && m_backup.exists()) {
        try {
            original = m_backup.load().native;
        } catch (const std::exception &) {
            // No usable backup: the desktop's defaults decide what Never set aside.
        }
    }
    m_settings->write(configuration, original);
}

MacConfiguration DesktopConfigurationBackend::systemDefaults(const MacConfiguration &) const {
    return m_settings->defaults();
}

bool DesktopConfigurationBackend::holdsScreenSaver() const {
    return m_settings->holdsScreenSaver();
}

} // namespace norvane
