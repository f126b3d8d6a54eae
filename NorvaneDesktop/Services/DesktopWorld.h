#pragma once

#include "Worlds/World.h"

#include <memory>

namespace norvane {

class DesktopSettingsAdapter;

// A Linux desktop: its idle settings through its adapter, the power sources from UPower, Low
// Power Mode from power-profiles-daemon, what keeps the computer awake from logind and the
// desktop's session, and the running applications from /proc.
class DesktopWorld final : public World {
public:
    explicit DesktopWorld(std::shared_ptr<const DesktopSettingsAdapter> settings);

    [[nodiscard]] SystemIdentity identity() const override { return m_identity; }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override;
    [[nodiscard]] SystemSettings readSettings() const override;
    [[nodiscard]] PowerStatus readPower() const override;
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override;
    [[nodiscard]] QSet<QString> runningApplications(const QStringList &names) const override;
    [[nodiscard]] std::optional<QString> cannotHold(const Profile &profile) const override;
    [[nodiscard]] std::unique_ptr<SystemWatcher> watch() const override;

private:
    std::shared_ptr<const DesktopSettingsAdapter> m_settings;
    SystemIdentity m_identity;
};

} // namespace norvane
