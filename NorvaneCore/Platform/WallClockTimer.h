#pragma once

#include <QDateTime>
#include <QObject>

class QSocketNotifier;
class QTimer;

namespace norvane {

// Fires once at a time of the wall clock, not after an interval: a computer that sleeps through
// that time, or whose clock is set past it, fires on waking or at once, where an interval timer
// would keep counting the time it has left. On Linux a timerfd on the real-time clock, which
// the kernel also wakes when the clock is set; elsewhere an interval timer.
class WallClockTimer : public QObject {
    Q_OBJECT

public:
    explicit WallClockTimer(QObject *parent = nullptr);
    ~WallClockTimer() override;

    // Fires at `at`, in place of any earlier request; an invalid time stops the timer.
    void fireAt(const QDateTime &at);

Q_SIGNALS:
    // The time came, or the system's clock was set (the caller reads the time again).
    void fired();

private:
    int m_descriptor = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_fallback = nullptr;
};

} // namespace norvane
