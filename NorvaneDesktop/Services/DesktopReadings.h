#pragma once

#include "Configuration/MacConfiguration.h"
#include "SleepHolders.h"
#include "Status/SystemSettings.h"

#include <functional>

namespace norvane {

// The live status of a Linux desktop: the power source from UPower, the idle timers from `idle`
// (the battery's while a battery powers the computer, else the adapter's), its screen saver where
// it has one, Low Power Mode from power-profiles-daemon, and what keeps it awake from logind and
// the desktop `session`. A failure of `idle` (ConfigurationError) is the snapshot's error; the
// rest is still read.
[[nodiscard]] SystemSettings readDesktopSettings(const std::function<MacConfiguration()> &idle,
                                                 DesktopSession session);

} // namespace norvane
