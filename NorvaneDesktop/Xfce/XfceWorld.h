#pragma once

#include "Worlds/World.h"

namespace norvane {

// Xfce: its idle settings through xfconf (xfce4-power-manager, xfce4-screensaver), the power
// sources from UPower, Low Power Mode from power-profiles-daemon, and what keeps the computer
// awake from logind; the running applications from /proc.
class XfceWorld final : public World {
public:
    [[nodiscard]] static SystemIdentity xfceIdentity();
    // xfconfd runs on the session bus or can be started there.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override { return xfceIdentity(); }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override;
    [[nodiscard]] SystemSettings readSettings() const override;
    [[nodiscard]] PowerStatus readPower() const override;
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override;
    [[nodiscard]] QSet<QString> runningApplications(const QStringList &names) const override;
    [[nodiscard]] std::unique_ptr<SystemWatcher> watch() const override;
    // A sleep of 14 minutes on the power managers that take 14 for Never.
    [[nodiscard]] std::optional<QString> cannotHold(const Profile &profile) const override;
};

} // namespace norvane
