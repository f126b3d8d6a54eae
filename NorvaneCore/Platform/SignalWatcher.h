#pragma once

#include <QObject>

class QSocketNotifier;

namespace norvane {

// Turns SIGINT and SIGTERM into a Qt signal on the event loop (the handler only writes a byte to
// a socket pair), so that a transaction under way can finish, or a foreground session return to
// Normal, before the process ends. While one exists, those signals no longer end the process; the
// previous handlers come back with its end. One at a time per process.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

Q_SIGNALS:
    void received(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace norvane
