#pragma once

#include "Configuration/ConfigurationBackend.h"
#include "Configuration/OriginalSettingsBackup.h"

namespace norvane {

// KDE Plasma's idle settings (KdeIdleSettings), without privileges: PowerDevil's profiles "AC"
// and "Battery" and the screen locker, which is Pellor's screen saver here.
class KdeConfigurationBackend final : public ConfigurationBackend {
public:
    explicit KdeConfigurationBackend(OriginalSettingsBackup backup);

    [[nodiscard]] MacConfiguration read() override;
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override;
    // The backup as a restore of it reads back (KdeIdleSettings::restoring).
    [[nodiscard]] MacConfiguration loadOriginal() override;
    // The native values of `configuration` exactly when it carries them (a restore), else the
    // values its minutes ask for, with what the files no longer hold taken from the backup.
    void write(const MacConfiguration &configuration) override;
    // PowerDevil's and the screen locker's own settings for a new user.
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override;

private:
    OriginalSettingsBackup m_backup;
};

} // namespace norvane
