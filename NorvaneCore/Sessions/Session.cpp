#include "Session.h"

#include "Localization/L10n.h"

#include <cmath>

namespace norvane {

Session::Session(const Profile &profile, qint64 minutes, const QDateTime &now)
    : profile(profile), startedAt(now) {
    if (!profile.isNormal() && minutes >= 1)
        deadline = now.addSecs(minutes * 60);
}

std::optional<double> Session::remaining(const QDateTime &date) const {
    if (!deadline)
        return std::nullopt;
    return std::max(0.0, double(date.msecsTo(*deadline)) / 1000.0);
}

QString Session::remainingLabel(const QDateTime &date) const {
    const std::optional<double> seconds = remaining(date);
    if (!seconds)
        return L10n::text("Active indefinitely");
    // Rounded up before the form is chosen, so 3599.2 seconds read 1:00:00.
    const auto s = qint64(std::ceil(*seconds));
    if (s < 3600)
        return QString::asprintf("%02lld:%02lld", s / 60, s % 60);
    return QString::asprintf("%lld:%02lld:%02lld", s / 3600, (s / 60) % 60, s % 60);
}

} // namespace norvane
