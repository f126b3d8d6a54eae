#include "AnimationClock.h"

#include <algorithm>

namespace norvane {

void AnimationClock::start(const QDateTime &now) {
    if (!m_runningSince)
        m_runningSince = now;
}

void AnimationClock::pause(const QDateTime &now) {
    if (!m_runningSince)
        return;
    m_elapsed += stretch(now);
    m_runningSince.reset();
}

double AnimationClock::time(const QDateTime &now) const {
    return std::max(0.0, m_elapsed + stretch(now));
}

double AnimationClock::stretch(const QDateTime &now) const {
    if (!m_runningSince)
        return 0;
    return static_cast<double>(std::max<qint64>(0, m_runningSince->msecsTo(now))) / 1000.0;
}

} // namespace norvane
