#pragma once

#include "Profiles/Profile.h"

#include <QDateTime>
#include <optional>

namespace norvane {

// The rule that applied a session's profile.
struct AppliedByRule {
    QString id;
    QString description; // its condition, as it read then ("On battery")

    friend bool operator==(const AppliedByRule &, const AppliedByRule &) = default;
};

// One application of a profile: what was applied, when, and when its automatic return is due.
struct Session {
    Profile profile;
    QDateTime startedAt;
    std::optional<QDateTime> deadline;
    std::optional<AppliedByRule> rule; // none: the person applied it
    // The profile in effect before this one, when one was applied: what a toggle and the end of
    // a rule go back to.
    std::optional<QString> previousProfileId;

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
