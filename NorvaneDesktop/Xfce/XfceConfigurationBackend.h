#pragma once

#include "Configuration/ConfigurationBackend.h"
#include "Configuration/OriginalSettingsBackup.h"

namespace norvane {

// Xfce's idle settings (XfceIdleSettings) through xfconf, without privileges: the power
// manager's display and sleep times for the adapter and the battery, and xfce4-screensaver's.
class XfceConfigurationBackend final : public ConfigurationBackend {
public:
    explicit XfceConfigurationBackend(OriginalSettingsBackup backup);

    [[nodiscard]] MacConfiguration read() override;
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override;
    // The backup as a restore of it reads back (XfceIdleSettings::restoring).
    [[nodiscard]] MacConfiguration loadOriginal() override;
    // The native values of `configuration` exactly when it carries them (a restore), else the
    // values its minutes ask for, with what Never turned off taken from the backup.
    void write(const MacConfiguration &configuration) override;
    // Every property without a value of the user's own.
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override;

private:
    OriginalSettingsBackup m_backup;
};

} // namespace norvane
