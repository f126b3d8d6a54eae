#include "Session.h"

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

} // namespace norvane
