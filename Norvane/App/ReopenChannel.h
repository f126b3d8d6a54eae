#pragma once

#include "ControlProtocol.h"

#include <QObject>
#include <functional>

class QLocalServer;

namespace norvane {

// The running Pellor's local channel. Starting Pellor while it already runs brings the running
// one's window back, the way a click on the Dock icon does on macOS: the new process asks the
// running one and ends. pellorctl hands its requests over the same channel, so the running
// application stays the one owner of sessions (see ControlProtocol.h for the messages).
class ReopenChannel : public QObject {
    Q_OBJECT

public:
    using Reply = std::function<void(const control::Response &)>;
    // Carries out a request and calls the reply once with its outcome, now or later.
    using Handler = std::function<void(const control::Request &, const Reply &)>;

    // Listens for later launches of this user's Pellor and for pellorctl.
    explicit ReopenChannel(Handler handler, QObject *parent = nullptr);

    // Asks a running Pellor to show its window; false when none answers.
    [[nodiscard]] static bool askRunningInstance();

    // One name per user and settings folder, so separate sandboxes never meet.
    [[nodiscard]] static QString serverName() { return control::serverName(); }

private:
    void accept();

    QLocalServer *m_server;
    Handler m_handler;
};

} // namespace norvane
