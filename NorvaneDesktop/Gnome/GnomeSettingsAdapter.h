#pragma once

#include "Services/DesktopSettingsAdapter.h"

namespace norvane {

class GnomeIdleSettings;

// GNOME's idle settings through GSettings (GnomeIdleSettings). The display-off minutes are one key
// for every power source; sleep has one per source. "Never" sleeps by the type "nothing", which
// leaves the user's own timeout alone, and a later timeout brings back the user's own kind of
// sleep (suspend, hibernate, …): the type in effect, else the one the backup holds, else GNOME's
// default. Display "Never" turns GNOME's dimming (idle-dim) off too. The screen saver starts when
// the display turns off and is not written.
class GnomeSettingsAdapter final : public DesktopSettingsAdapter {
public:
    // GNOME's schemas are installed.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override;
    [[nodiscard]] DesktopSession session() const override { return DesktopSession::gnome; }
    [[nodiscard]] WatchedSettings watched() const override;
    [[nodiscard]] MacConfiguration read() const override;
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup) const override;
    void write(const MacConfiguration &target, const QJsonObject &original) const override;
    // Every key at GNOME's default.
    [[nodiscard]] MacConfiguration defaults() const override;
    [[nodiscard]] bool holdsScreenSaver() const override { return false; }

private:
    [[nodiscard]] static QJsonObject valuesFor(const MacConfiguration &target,
                                               const QJsonObject &original,
                                               const GnomeIdleSettings &settings);
    // The first kind of sleep in `sources` (the values in effect, then the backup's) that does
    // sleep, else GNOME's default.
    [[nodiscard]] static QString sleepType(const QString &key, const QList<QJsonObject> &sources,
                                           const GnomeIdleSettings &settings);
};

} // namespace norvane
