#pragma once

#include "Profiles/Profile.h"

#include <QFuture>

namespace norvane {

// The service that applies profiles to the system and restores the original settings. Both
// operations run off the main thread; the returned future finishes when the work is done and
// carries its error (a ConfigurationError, or a platform error passed through).
class Configuring {
public:
    virtual ~Configuring() = default;
    virtual QFuture<void> apply(const Profile &profile) = 0;
    virtual QFuture<void> restore() = 0;
};

} // namespace norvane
