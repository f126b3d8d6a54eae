#pragma once

#include "Worlds/World.h"

namespace norvane {

// KDE Plasma 5 or 6: its idle settings in PowerDevil's and the screen locker's files, the power
// sources from UPower, Low Power Mode from power-profiles-daemon, and what keeps the computer
// awake from logind and PowerDevil's policy agent; the running applications from /proc.
class KdeWorld final : public World {
public:
    KdeWorld();

    // PowerDevil runs in this session, or its settings are there.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override { return m_identity; }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override;
    [[nodiscard]] SystemSettings readSettings() const override;
    [[nodiscard]] PowerStatus readPower() const override;
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override;
    [[nodiscard]] QSet<QString> runningApplications(const QStringList &names) const override;
    [[nodiscard]] std::unique_ptr<SystemWatcher> watch() const override;

private:
    SystemIdentity m_identity;
};

} // namespace norvane
