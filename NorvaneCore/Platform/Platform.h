#pragma once

#include "HostPreferences.h"
#include "PowerSources.h"
#include "RunningApplications.h"
#include "ToolRunner.h"

#include <memory>

namespace norvane {

// The platform seams used by the shared code above them. system() gives the real Mac's
// facilities on macOS and the simulated Mac elsewhere; tests assemble their own.
struct Platform {
    ToolPaths tools;
    std::shared_ptr<const ToolRunner> runner;
    std::shared_ptr<HostPreferences> preferences;
    std::shared_ptr<const AssertionStatus> assertions;
    std::shared_ptr<const PowerSources> powerSources;
    std::shared_ptr<const RunningApplications> applications;

    static Platform system();
};

} // namespace norvane
