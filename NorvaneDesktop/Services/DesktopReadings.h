#pragma once

#include "Configuration/MacConfiguration.h"
#include "SleepHolders.h"
#include "Status/SystemSettings.h"

#include <functional>

namespace norvane {

// The timers of a desktop's own low-battery settings when they are in effect with the battery at
// `percentage` (KDE's profile "LowBattery"); none when the battery's hold.
using LowBatteryTimers = std::function<std::optional<PowerSourceConfiguration>(qint64 percentage)>;

// The live status of a Linux desktop: the power source from UPower, the idle timers from `idle`
// (the battery's while a battery powers the computer, else the adapter's), its screen saver where
// it has one, Low Power Mode from power-profiles-daemon, and what keeps it awake from logind and
// the desktop `session`. Where `lowBattery` gives timers for the battery's level, those are shown
// and the power source says so. A failure of `idle` or `lowBattery` (ConfigurationError) is the
// snapshot's error; the rest is still read.
[[nodiscard]] SystemSettings readDesktopSettings(const std::function<MacConfiguration()> &idle,
                                                 DesktopSession session,
                                                 const LowBatteryTimers &lowBattery = {});

} // namespace norvane
