#include "Schedule.h"

#include <algorithm>
#include <array>

namespace norvane {

namespace {

// Far enough either side of a time to find the zone's offsets before and after any transition.
constexpr qint64 kSwingSeconds = qint64(36) * 3600;

} // namespace

Schedule::Schedule(Condition condition, const QTimeZone &zone)
    : m_condition(std::move(condition)), m_zone(zone) {}

QDateTime Schedule::instant(const QDate &date, const QTime &time, const QTimeZone &zone) {
    // The wall-clock time read as if it were UTC, less each offset the zone has around it: those
    // that land back on it are its instants (two in a repeated hour, none in a skipped one).
    const QDateTime wall(date, time, Qt::UTC);
    QDateTime first;
    for (const qint64 swing : {-kSwingSeconds, kSwingSeconds}) {
        const int offset = zone.offsetFromUtc(wall.addSecs(swing));
        const QDateTime candidate = wall.addSecs(-offset);
        if (candidate.toTimeZone(zone).time() == time &&
            candidate.toTimeZone(zone).date() == date && (!first.isValid() || candidate < first))
            first = candidate;
    }
    if (first.isValid())
        return first.toTimeZone(zone);
    // Skipped: read with the offset from before, it lies just after the jump that skipped it.
    const int before = zone.offsetFromUtc(wall.addSecs(-kSwingSeconds));
    return zone.previousTransition(wall.addSecs(-before)).atUtc.toTimeZone(zone);
}

bool Schedule::startsOn(const QDate &date) const {
    return m_condition.days.contains(date.dayOfWeek());
}

Schedule::Window Schedule::windowStarting(const QDate &date) const {
    const QDate endDate = m_condition.end > m_condition.start ? date : date.addDays(1);
    return {instant(date, m_condition.start, m_zone), instant(endDate, m_condition.end, m_zone)};
}

bool Schedule::holds(const QDateTime &now) const {
    const QDate today = now.toTimeZone(m_zone).date();
    return std::ranges::any_of(std::array{today.addDays(-1), today}, [&](const QDate &date) {
        if (!startsOn(date))
            return false;
        const Window window = windowStarting(date);
        return window.opens <= now && now < window.closes;
    });
}

QDateTime Schedule::nextEdge(const QDateTime &now) const {
    const QDate today = now.toTimeZone(m_zone).date();
    QDateTime next;
    for (int day = -1; day <= 7; ++day) {
        const QDate date = today.addDays(day);
        if (!startsOn(date))
            continue;
        const Window window = windowStarting(date);
        for (const QDateTime &edge : {window.opens, window.closes})
            if (edge > now && (!next.isValid() || edge < next))
                next = edge;
    }
    return next;
}

} // namespace norvane
