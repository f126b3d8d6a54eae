#include "MacPlatform.h"

#ifdef Q_OS_MACOS

#include "MacCoreFoundation.h"

#include <IOKit/ps/IOPowerSources.h>

namespace norvane {

std::optional<PowerSourceSnapshot> MacPowerSources::snapshot() const {
    const cf::Owned<CFTypeRef> info(IOPSCopyPowerSourcesInfo());
    if (!info)
        return std::nullopt;

    PowerSourceSnapshot snapshot;
    const cf::Owned<CFArrayRef> list(IOPSCopyPowerSourcesList(info.get()));
    if (list && CFGetTypeID(list.get()) == CFArrayGetTypeID()) {
        for (CFIndex i = 0, count = CFArrayGetCount(list.get()); i < count; ++i) {
            // The description belongs to the snapshot; it is not released here.
            const CFDictionaryRef description =
                IOPSGetPowerSourceDescription(info.get(), CFArrayGetValueAtIndex(list.get(), i));
            if (auto map = cf::toVariantMap(description))
                snapshot.descriptions << *map;
        }
    }
    // Not owned either.
    const CFStringRef providing = IOPSGetProvidingPowerSourceType(info.get());
    if (providing && CFGetTypeID(providing) == CFStringGetTypeID())
        snapshot.providingType = QString::fromCFString(providing);
    return snapshot;
}

} // namespace norvane

#endif
