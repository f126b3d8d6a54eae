#include "L10nBridge.h"

#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"

namespace norvane {

namespace {

QStringList texts(const QVariantList &arguments) {
    QStringList result;
    result.reserve(arguments.size());
    for (const QVariant &argument : arguments)
        result << argument.toString();
    return result;
}

} // namespace

// QML calls these on the singleton instance, so they stay members.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
QString L10nBridge::text(const QString &key, const QVariantList &arguments) const {
    return L10n::text(L10n::Message(key, texts(arguments)));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
QString L10nBridge::systemText(const QString &macKey, const QString &desktopKey,
                               const QVariantList &arguments) const {
    return norvane::systemText(macKey, desktopKey, texts(arguments));
}

} // namespace norvane
