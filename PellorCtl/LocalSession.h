#pragma once

#include "ExitCode.h"
#include "Sessions/SessionStore.h"

#include <QObject>
#include <memory>
#include <optional>

class QEventLoop;
class QTextStream;
class QTimer;

namespace norvane {

class ProfileLibrary;
class SessionRecord;

// Applies and restores in pellorctl itself while Pellor is not running, through the same session
// store the application uses. A timed apply stays in the foreground with a countdown (redrawn in
// place on a terminal, printed once otherwise) and returns to Normal when the time is up, or at
// once on SIGINT or SIGTERM, like caffeinate -t. Those signals never cut a transaction short:
// one that has begun runs to its end first.
class LocalSession : public QObject {
    Q_OBJECT

public:
    struct Environment {
        std::shared_ptr<Configuring> configuration; // none: the Mac configuration service
        SessionStore::Clock clock;                  // none: the system time
        int tickMilliseconds = 1000;
        bool terminal = false; // standard output is a terminal: redraw the countdown in place
        std::shared_ptr<const SessionRecord> record; // none: record()
    };

    LocalSession(const ProfileLibrary &library, QTextStream &out, QTextStream &err,
                 Environment environment);
    ~LocalSession() override;

    // `minutes` overrides the profile's automatic return (0: none).
    ExitCode apply(const Profile &profile, std::optional<qint64> minutes);
    ExitCode restore();

    // Ends a foreground countdown now and returns to Normal, as SIGINT and SIGTERM do.
    void requestReturn();

    [[nodiscard]] const SessionStore &store() const { return *m_store; }

    // The session record this system's Pellor keeps.
    [[nodiscard]] static std::shared_ptr<const SessionRecord> record();

private:
    [[nodiscard]] QDateTime now() const;
    // Runs the event loop until `work` has finished, then reports the store's outcome.
    ExitCode finish(const QFuture<void> &work);
    void waitForReturnTime();
    void step();
    [[nodiscard]] QString countdownLine() const;

    const ProfileLibrary &m_library;
    QTextStream &m_out;
    QTextStream &m_err;
    Environment m_environment;
    SessionStore *m_store;
    QEventLoop *m_countdown = nullptr; // while counting down
    bool m_returnRequested = false;
    bool m_saidWaiting = false;
};

} // namespace norvane
