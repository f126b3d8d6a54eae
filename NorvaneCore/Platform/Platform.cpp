#include "Platform.h"

#ifdef Q_OS_MACOS
#include "Platform/Apple/MacPlatform.h"
#else
#include "Platform/Simulated/SimulatedMac.h"
#endif

namespace norvane {

Platform Platform::system() {
#ifdef Q_OS_MACOS
    return {ToolPaths::system(),
            std::make_shared<ProcessToolRunner>(),
            std::make_shared<MacHostPreferences>(),
            std::make_shared<MacAssertionStatus>(),
            std::make_shared<MacPowerSources>(),
            std::make_shared<MacRunningApplications>()};
#else
    const QString home = simulatorHome();
    return {ToolPaths::system(),
            std::make_shared<ProcessToolRunner>(),
            std::make_shared<SimulatedHostPreferences>(home),
            std::make_shared<SimulatedAssertionStatus>(home),
            std::make_shared<SimulatedPowerSources>(home),
            std::make_shared<SimulatedRunningApplications>(home)};
#endif
}

} // namespace norvane
