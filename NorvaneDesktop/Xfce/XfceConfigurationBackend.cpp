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

void XfceConfigurationBackend::write(const MacConfiguration &configuration) {
    XfceIdleSettings().write(configuration);
}

} // namespace norvane
