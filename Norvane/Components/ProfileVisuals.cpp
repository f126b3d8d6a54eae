#include "ProfileVisuals.h"

#include "Localization/L10n.h"

namespace norvane {

QColor accent(ProfileIcon icon) {
    switch (icon.value()) {
    case ProfileIcon::leaf:
        return QColor::fromRgbF(0.22f, 0.52f, 0.43f);
    case ProfileIcon::sparkles:
        return QColor::fromRgbF(0.64f, 0.42f, 0.72f);
    case ProfileIcon::focus:
        return QColor::fromRgbF(0.34f, 0.46f, 0.79f);
    case ProfileIcon::presentation:
        return QColor::fromRgbF(0.79f, 0.48f, 0.29f);
    case ProfileIcon::download:
        return QColor::fromRgbF(0.22f, 0.53f, 0.66f);
    case ProfileIcon::sliders:
        break;
    }
    return QColor::fromRgbF(0.51f, 0.49f, 0.66f);
}

QString navigationSummary(const Profile &profile) {
    if (profile.managed)
        return L10n::text("Managed");
    const QString &id = profile.id;
    if (id == u"normal")
        return L10n::text("Everyday energy saving");
    if (id == u"vibe")
        return L10n::text("Keep inspiration flowing");
    if (id == u"focus")
        return L10n::text("Time to focus");
    if (id == u"presentation")
        return L10n::text("Present and share");
    if (id == u"download")
        return L10n::text("Keep tasks running");
    return L10n::text("Custom profile");
}

QString introduction(const Profile &profile) {
    const QString &id = profile.id;
    if (id == u"normal")
        return L10n::text("Everyday power settings and the return profile for timed sessions.");
    if (id == u"vibe")
        return L10n::text("Keep the display and system awake.");
    if (id == u"focus")
        return L10n::text("Stay awake while you focus, then return automatically.");
    if (id == u"presentation")
        return L10n::text("Keep the display on throughout your presentation.");
    if (id == u"download")
        return L10n::text("Let the display turn off while background tasks keep running.");
    return L10n::text("Customize power and display settings for your needs.");
}

} // namespace norvane
