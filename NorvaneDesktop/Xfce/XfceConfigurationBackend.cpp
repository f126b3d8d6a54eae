#include "XfceConfigurationBackend.h"

#include "XfceIdleSettings.h"

namespace norvane {

XfceConfigurationBackend::XfceConfigurationBackend(OriginalSettingsBackup backup)
    : m_backup(std::move(backup)) {}

MacConfiguration XfceConfigurationBackend::read() {
    return XfceIdleSettings().configuration();
}

void XfceConfigurationBackend::saveOriginalIfNeeded(const MacConfiguration &configuration) {
    m_backup.saveIfMissing(configuration);
}

MacConfiguration XfceConfigurationBackend::loadOriginal() {
    return XfceIdleSettings().restoring(m_backup.load());
}

MacConfiguration XfceConfigurationBackend::systemDefaults(const MacConfiguration &) const {
    return XfceIdleSettings::defaults();
}

void XfceConfigurationBackend::write(const MacConfiguration &configuration) {
    QJsonObject original;
    if (configuration.native.isEmpty() && m_backup.exists()) {
        try {
            original = m_backup.load().native;
        } catch (const std::exception &) {
            // No usable backup: the power manager's defaults decide.
        }
    }
    XfceIdleSettings().write(configuration, original);
}

} // namespace norvane
