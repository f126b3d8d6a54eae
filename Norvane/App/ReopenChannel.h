#pragma once

#include <QObject>
#include <functional>

class QLocalServer;

namespace norvane {

// Starting Pellor while it already runs brings the running one's window back, the way a click
// on the Dock icon does on macOS: the new process asks the running one and ends.
class ReopenChannel : public QObject {
    Q_OBJECT

public:
    // Listens for later launches of this user's Pellor and calls `onReopen` for each.
    explicit ReopenChannel(std::function<void()> onReopen, QObject *parent = nullptr);

    // Asks a running Pellor to show its window; false when none answers.
    [[nodiscard]] static bool askRunningInstance();

    // One name per user and settings folder, so separate sandboxes never meet.
    [[nodiscard]] static QString serverName();

private:
    QLocalServer *m_server;
    std::function<void()> m_onReopen;
};

} // namespace norvane
