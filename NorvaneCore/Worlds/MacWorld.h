#pragma once

#include "Platform/Platform.h"
#include "World.h"

namespace norvane {

// A Mac, real or simulated: pmset and its output, the authorization request, the current host's
// preferences, the power-source and assertion interfaces and the running applications, over the
// platform seams.
class MacWorld final : public World {
public:
    MacWorld(Platform platform, SystemIdentity identity);

    [[nodiscard]] SystemIdentity identity() const override { return m_identity; }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override;
    [[nodiscard]] SystemSettings readSettings() const override;
    [[nodiscard]] PowerStatus readPower() const override;
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override;
    // The simulated Mac tells of every change of its state file; a real Mac of nothing yet.
    [[nodiscard]] std::unique_ptr<SystemWatcher> watch() const override;
    // Of `names`, the bundle identifiers of running applications, in any case (a Mac's bundle
    // identifiers are case-insensitive).
    [[nodiscard]] QSet<QString> runningApplications(const QStringList &names) const override;

private:
    Platform m_platform;
    SystemIdentity m_identity;
};

} // namespace norvane
