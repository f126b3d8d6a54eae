#include "WallClockTimer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <limits>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace norvane {

WallClockTimer::WallClockTimer(QObject *parent) : QObject(parent) {
#ifdef Q_OS_LINUX
    m_descriptor = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_descriptor >= 0) {
        m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            // Expirations, or ECANCELED when the clock was set: either way it is time to look.
            std::uint64_t expirations = 0;
            (void)::read(m_descriptor, &expirations, sizeof expirations);
            Q_EMIT fired();
        });
        return;
    }
#endif
    m_fallback = new QTimer(this);
    m_fallback->setSingleShot(true);
    m_fallback->setTimerType(Qt::CoarseTimer);
    connect(m_fallback, &QTimer::timeout, this, &WallClockTimer::fired);
}

WallClockTimer::~WallClockTimer() {
#ifdef Q_OS_LINUX
    if (m_descriptor >= 0)
        ::close(m_descriptor);
#endif
}

void WallClockTimer::fireAt(const QDateTime &at) {
#ifdef Q_OS_LINUX
    if (m_descriptor >= 0) {
        itimerspec when{};
        if (at.isValid()) {
            // A time already past is due at once (timerfd takes 0 as "stop").
            const qint64 msecs = std::max<qint64>(at.toMSecsSinceEpoch(), 1);
            when.it_value.tv_sec = time_t(msecs / 1000);
            when.it_value.tv_nsec = long(msecs % 1000) * 1'000'000;
        }
        (void)::timerfd_settime(m_descriptor, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when,
                                nullptr);
        return;
    }
#endif
    if (!at.isValid())
        return m_fallback->stop();
    const qint64 msecs = std::clamp<qint64>(QDateTime::currentDateTimeUtc().msecsTo(at), 0,
                                            std::numeric_limits<int>::max());
    m_fallback->start(int(msecs));
}

} // namespace norvane
