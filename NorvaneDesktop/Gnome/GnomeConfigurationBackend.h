#pragma once

#include "Configuration/ConfigurationBackend.h"
#include "Configuration/OriginalSettingsBackup.h"

namespace norvane {

class GnomeIdleSettings;

// GNOME's idle settings through GSettings, without privileges. The display-off minutes are one
// key for every power source; sleep has one per source. "Never" sleeps by the type "nothing",
// which leaves the user's own timeout alone, and a later timeout brings back the user's own kind
// of sleep (suspend, hibernate, …): the type in effect, else the one the backup holds, else
// GNOME's default. Display "Never" turns GNOME's dimming (idle-dim) off too. The screen saver
// starts when the display turns off and is not written.
class GnomeConfigurationBackend final : public ConfigurationBackend {
public:
    explicit GnomeConfigurationBackend(OriginalSettingsBackup backup);

    [[nodiscard]] MacConfiguration read() override;
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override;
    // The backup as a restore of it reads back (GnomeIdleSettings::restoring).
    [[nodiscard]] MacConfiguration loadOriginal() override;
    // The native values of `target` exactly when it carries them (a restore), else the values
    // its minutes ask for.
    void write(const MacConfiguration &target) override;
    // Every key at GNOME's default.
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override;
    [[nodiscard]] bool holdsScreenSaver() const override { return false; }

private:
    [[nodiscard]] QJsonObject valuesFor(const MacConfiguration &target,
                                        const GnomeIdleSettings &settings);
    // The first kind of sleep in `sources` (the values in effect, then the backup's) that does
    // sleep, else GNOME's default.
    [[nodiscard]] static QString sleepType(const QString &key, const QList<QJsonObject> &sources,
                                           const GnomeIdleSettings &settings);

    OriginalSettingsBackup m_backup;
};

} // namespace norvane
