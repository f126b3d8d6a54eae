#pragma once

#include "Profiles/Profile.h"

#include <QFuture>

namespace norvane {

// What the first apply saves as the original settings when there is no backup: the settings it
// finds, or, while a profile of Pellor's own is known to be in effect (its backup was set aside),
// the system's defaults for what Pellor changes, so that the profile's values are never taken for
// the person's own.
enum class BackupSource { settingsInEffect, systemDefaults };

// The service that applies profiles to the system and restores the original settings. Both
// operations run off the main thread; the returned future finishes when the work is done and
// carries its error (a ConfigurationError, or a platform error passed through).
class Configuring {
public:
    virtual ~Configuring() = default;
    virtual QFuture<void> apply(const Profile &profile, BackupSource backup) = 0;
    virtual QFuture<void> restore() = 0;
};

} // namespace norvane
