#include "MacPlatform.h"

#ifdef Q_OS_MACOS

#include "MacCoreFoundation.h"

#include <CoreFoundation/CoreFoundation.h>

namespace norvane {

bool MacHostPreferences::synchronize(const QString &domain) {
    const cf::Owned<CFStringRef> application(domain.toCFString());
    return CFPreferencesSynchronize(application.get(), kCFPreferencesCurrentUser,
                                    kCFPreferencesCurrentHost);
}

std::optional<QVariant> MacHostPreferences::copyValue(const QString &key, const QString &domain) {
    const cf::Owned<CFStringRef> name(key.toCFString());
    const cf::Owned<CFStringRef> application(domain.toCFString());
    const cf::Owned<CFPropertyListRef> value(CFPreferencesCopyValue(
        name.get(), application.get(), kCFPreferencesCurrentUser, kCFPreferencesCurrentHost));
    if (!value)
        return std::nullopt;
    return cf::toVariant(value.get());
}

void MacHostPreferences::setValue(const QString &key, const std::optional<QVariant> &value,
                                  const QString &domain) {
    const cf::Owned<CFStringRef> name(key.toCFString());
    const cf::Owned<CFStringRef> application(domain.toCFString());
    // No value (null) removes the stored one.
    const cf::Owned<CFPropertyListRef> stored(value ? cf::createPropertyList(*value) : nullptr);
    CFPreferencesSetValue(name.get(), stored.get(), application.get(), kCFPreferencesCurrentUser,
                          kCFPreferencesCurrentHost);
}

void MacHostPreferences::postNotification(const QString &name) {
    const cf::Owned<CFStringRef> notification(name.toCFString());
    CFNotificationCenterPostNotification(CFNotificationCenterGetDistributedCenter(),
                                         notification.get(), nullptr, nullptr, true);
}

} // namespace norvane

#endif
