#pragma once

#include "Profiles/Profile.h"

#include <QDateTime>
#include <optional>

namespace norvane {

// One application of a profile: what was applied, when, and when its automatic return is due.
struct Session {
    Profile profile;
    QDateTime startedAt;
    std::optional<QDateTime> deadline;

    // A deadline `minutes` after `now`, except for the return profile and for 0 minutes.
    Session(const Profile &profile, qint64 minutes, const QDateTime &now);

    [[nodiscard]] bool hasExpired(const QDateTime &date) const {
        return deadline && date >= *deadline;
    }
    // Seconds until the deadline (0 once passed), or none without a deadline.
    [[nodiscard]] std::optional<double> remaining(const QDateTime &date) const;
    // The time left as the status label shows it ("24:59", "1:00:00"), or "Active indefinitely"
    // without a deadline.
    [[nodiscard]] QString remainingLabel(const QDateTime &date) const;

    friend bool operator==(const Session &, const Session &) = default;
};

} // namespace norvane
