#pragma once

#include "Configuration/ConfigurationBackend.h"
#include "Configuration/OriginalSettingsBackup.h"

#include <memory>

namespace norvane {

class DesktopSettingsAdapter;

// A Linux desktop's idle settings, without privileges: the adapter reads and writes them, and the
// backup of the person's own settings is kept beside Pellor's other files.
class DesktopConfigurationBackend final : public ConfigurationBackend {
public:
    DesktopConfigurationBackend(std::shared_ptr<const DesktopSettingsAdapter> settings,
                                OriginalSettingsBackup backup);

    [[nodiscard]] MacConfiguration read() override;
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override;
    // The backup as a restore of it reads back.
    [[nodiscard]] MacConfiguration loadOriginal() override;
    void write(const MacConfiguration &configuration) override;
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override;
    [[nodiscard]] bool holdsScreenSaver() const override;

private:
    std::shared_ptr<const DesktopSettingsAdapter> m_settings;
    OriginalSettingsBackup m_backup;
};

} // namespace norvane
