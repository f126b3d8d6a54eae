#include "MacPlatform.h"

#import <AppKit/AppKit.h>

namespace norvane {

QStringList MacRunningApplications::bundleIdentifiers() const {
    QStringList identifiers;
    // Called off the main thread, where no pool would release what the workspace hands out.
    @autoreleasepool {
        for (NSRunningApplication *application in NSWorkspace.sharedWorkspace.runningApplications)
            if (application.bundleIdentifier) // none for a process without a bundle
                identifiers << QString::fromNSString(application.bundleIdentifier);
    }
    return identifiers;
}

} // namespace norvane
