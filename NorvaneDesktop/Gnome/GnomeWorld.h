#pragma once

#include "Worlds/World.h"

namespace norvane {

// GNOME: its idle settings through GSettings, the power sources from UPower, Low Power Mode from
// power-profiles-daemon, what keeps the computer awake from logind and the GNOME session, and the
// running applications from /proc.
class GnomeWorld final : public World {
public:
    [[nodiscard]] static SystemIdentity gnomeIdentity();
    // GNOME's idle settings are installed here.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override { return gnomeIdentity(); }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override;
    [[nodiscard]] SystemSettings readSettings() const override;
    [[nodiscard]] PowerStatus readPower() const override;
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override;
    [[nodiscard]] QSet<QString> runningApplications(const QStringList &names) const override;
    [[nodiscard]] std::unique_ptr<SystemWatcher> watch() const override;
};

} // namespace norvane
