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
    return m_backup.load();
}

MacConfiguration XfceConfigurationBackend::systemDefaults(const MacConfiguration &) const {
    return XfceIdleSettings::defaults();
}

void XfceConfigurationBackend::write(const MacConfiguration &configuration) {
    XfceIdleSettings().write(configuration);
}

} // namespace norvane
