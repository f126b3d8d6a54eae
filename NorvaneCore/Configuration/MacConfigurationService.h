#pragma once

#include "ConfigurationBackend.h"
#include "Configuring.h"

#include <functional>
#include <memory>

namespace norvane {

// Runs one configuration transaction per call on a background thread, over a fresh backend, and
// returns a future that carries its outcome. The caller's thread is never blocked, even while the
// authorization request is open. Calls are not serialized here: one at a time is the caller's duty.
class MacConfigurationService final : public Configuring {
public:
    using BackendFactory = std::function<std::shared_ptr<ConfigurationBackend>()>;

    // The default factory builds a NativeConfigurationBackend on the system's platform.
    explicit MacConfigurationService(BackendFactory makeBackend = {});

    QFuture<void> apply(const Profile &profile, BackupSource backup) override;
    QFuture<void> restore() override;

private:
    BackendFactory m_makeBackend;
};

} // namespace norvane
