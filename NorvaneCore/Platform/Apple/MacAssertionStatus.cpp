#include "MacPlatform.h"

#ifdef Q_OS_MACOS

#include "MacCoreFoundation.h"

#include <IOKit/pwr_mgt/IOPMLib.h>

namespace norvane {

std::optional<QVariantMap> MacAssertionStatus::copyStatus() const {
    CFDictionaryRef status = nullptr;
    const IOReturn result = IOPMCopyAssertionsStatus(&status);
    const cf::Owned<CFDictionaryRef> owned(status);
    if (result != kIOReturnSuccess)
        return std::nullopt;
    return cf::toVariantMap(owned.get());
}

} // namespace norvane

#endif
