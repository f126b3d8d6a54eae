#pragma once

#include "Rule.h"

#include <QDateTime>
#include <QTimeZone>

namespace norvane {

// When a schedule's windows open and close, in a time zone's local time. A window opens on each
// of its days at its start and closes at the first following end (the next day's when it crosses
// midnight). Local times are turned into instants the way a person reads a clock: a start or end
// inside the hour skipped in spring falls on the moment the clocks jump, one inside the hour
// repeated in autumn on its first occurrence, so that a window opens and closes once.
class Schedule {
public:
    Schedule(Condition condition, const QTimeZone &zone);

    // The window is open at `now`.
    [[nodiscard]] bool holds(const QDateTime &now) const;
    // The first opening or closing after `now`.
    [[nodiscard]] QDateTime nextEdge(const QDateTime &now) const;

    // The first instant at which the local clock of `zone` shows `time` on `date`, or the moment
    // it jumps past it.
    [[nodiscard]] static QDateTime instant(const QDate &date, const QTime &time,
                                           const QTimeZone &zone);

private:
    struct Window {
        QDateTime opens;
        QDateTime closes;
    };
    [[nodiscard]] Window windowStarting(const QDate &date) const;
    [[nodiscard]] bool startsOn(const QDate &date) const;

    Condition m_condition;
    QTimeZone m_zone;
};

} // namespace norvane
