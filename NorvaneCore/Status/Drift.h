#pragma once

#include "Profiles/Profile.h"
#include "SystemSettings.h"

#include <QList>

namespace norvane {

// A setting of the applied profile that the system no longer holds: changed outside Pellor (the
// desktop's own panel, pmset, another tool) since the profile was applied.
struct Drift {
    enum class Setting { display, sleep, screenSaver };

    Setting setting;
    qint64 live;    // what the system holds: minutes, seconds for the screen saver
    qint64 applied; // what the profile says, in the same unit

    // Every setting the snapshot holds that differs from the profile's; a setting the snapshot
    // could not read counts as no difference, and so do timers of the desktop's own low-battery
    // settings, which are not the profile's to hold.
    [[nodiscard]] static QList<Drift> between(const SystemSettings &live, const Profile &applied);

    friend bool operator==(const Drift &, const Drift &) = default;
};

} // namespace norvane
