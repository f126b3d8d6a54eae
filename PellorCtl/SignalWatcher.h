#pragma once

#include <QObject>

class QSocketNotifier;

namespace norvane {

// Turns SIGINT and SIGTERM into a Qt signal on the event loop (the handler only writes a byte to
// a socket pair), so a foreground session can return to Normal before pellorctl ends. While one
// exists, those signals no longer end the process; the previous handlers come back with its end.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

signals:
    void received(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace norvane
