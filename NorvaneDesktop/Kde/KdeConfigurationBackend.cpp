#include "KdeConfigurationBackend.h"

#include "KdeIdleSettings.h"

namespace norvane {

KdeConfigurationBackend::KdeConfigurationBackend(OriginalSettingsBackup backup)
    : m_backup(std::move(backup)) {}

MacConfiguration KdeConfigurationBackend::read() {
    return KdeIdleSettings().configuration();
}

void KdeConfigurationBackend::saveOriginalIfNeeded(const MacConfiguration &configuration) {
    m_backup.saveIfMissing(configuration);
}

MacConfiguration KdeConfigurationBackend::loadOriginal() {
    return KdeIdleSettings().restoring(m_backup.load());
}

MacConfiguration KdeConfigurationBackend::systemDefaults(const MacConfiguration &) const {
    return KdeIdleSettings::defaults();
}

void KdeConfigurationBackend::write(const MacConfiguration &configuration) {
    QJsonObject original;
    if (configuration.native.isEmpty() && m_backup.exists()) {
        try {
            original = m_backup.load().native;
        } catch (const std::exception &) {
            // No usable backup: the files and PowerDevil's defaults decide.
        }
    }
    KdeIdleSettings().write(configuration, original);
}

} // namespace norvane
