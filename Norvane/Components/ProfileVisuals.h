#pragma once

#include "Profiles/Profile.h"

#include <QColor>
#include <QString>

namespace norvane {

// The accent colour of an icon (sRGB, opaque); a profile's accent depends on its icon only.
[[nodiscard]] QColor accent(ProfileIcon icon);
[[nodiscard]] inline QColor accent(const Profile &profile) {
    return accent(profile.icon);
}

// The short line under a profile's name in lists, chosen by identifier.
[[nodiscard]] QString navigationSummary(const Profile &profile);

// The sentence that introduces a profile in the hero, chosen by identifier.
[[nodiscard]] QString introduction(const Profile &profile);

} // namespace norvane
