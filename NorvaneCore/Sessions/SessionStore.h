#pragma once

#include "Configuration/Configuring.h"
#include "Managed/Policy.h"
#include "Platform/WriterLock.h"
#include "Session.h"

#include <QFuture>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace norvane {

class SessionRecord;

// Owns the current session and everything the user sees about applying: applies profiles through
// the configuration service, records the session on success, returns to Normal when a timed
// session runs out, restores the original settings, and offers the notices and the status label.
// Lives on the main thread; failures never leave the store, they become errorMessage and notice.
class SessionStore : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    using ProfileProvider = std::function<Profile()>;

    // How the latest activate() or restoreOriginal() ended, for callers that report it
    // (the command-line tool); the views read the notice and errorMessage instead.
    struct Outcome {
        enum class Kind { none, applied, restored, cancelled, failed };
        Kind kind = Kind::none;
        QString message; // the failure's description; empty on success
    };

    // A null configuration selects a MacConfigurationService over the current world's backend; a
    // null clock reads the system time. Every change takes its turn with the user's other writers
    // through the WriterLock at its default path.
    SessionStore(std::shared_ptr<Configuring> configuration, Clock clock,
                 ProfileProvider normalProfile, QObject *parent = nullptr);
    ~SessionStore() override;

    // Applies `profile` at the person's request; `minutes` overrides its automatic-return timer.
    // The future finishes once the store has recorded the outcome; it never carries an error.
    QFuture<void> activate(const Profile &profile, std::optional<qint64> minutes,
                           const QDateTime &at);
    // Applies `profile` because the rules decided so: `rule` is the one that asks for it, none
    // when the rules give back what was in effect before them. No automatic-return timer.
    QFuture<void> activateForRules(const Profile &profile, const std::optional<AppliedByRule> &rule,
                                   const QDateTime &at);
    // Writes back the settings saved before the first change.
    QFuture<void> restoreOriginal();
    // Advances the store's time and starts the automatic return once a timed session is due.
    void tick(const QDateTime &date);
    // Makes a switch Pellor made by itself again after it failed: the automatic return, or the
    // rules' switch (through onRetryRules). Nothing retries on its own.
    QFuture<void> retryReturn();

    // Asks `policy` before every apply and restore instead of the administrator's folder
    // (Policy::inForce()). Whatever asks for the change, a profile over a limit, or a restore the
    // policy does not allow, fails with the management-policy message before anything is written.
    void followPolicy(std::function<Policy()> policy) { m_policy = std::move(policy); }

    // Takes every change's turn through `lock` instead of the default one.
    void takeTurnsWith(std::shared_ptr<const WriterLock> lock) { m_writers = std::move(lock); }

    // Keeps every session from now on in `record`, so it outlives the process, and takes over the
    // session an earlier run left there (Pellor's or pellorctl's). A session whose return fell
    // due meanwhile is due at the next tick. A damaged record is ignored with one warning.
    void keepSessionsIn(std::shared_ptr<const SessionRecord> record);

    [[nodiscard]] const Session &session() const { return m_session; }
    [[nodiscard]] const Profile &profile() const { return m_session.profile; }
    [[nodiscard]] const QDateTime &now() const { return m_now; }
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString> &message) { m_errorMessage = message; }
    [[nodiscard]] const std::optional<QString> &notice() const { return m_notice; }
    [[nodiscard]] bool isApplying() const { return m_isApplying; }
    // The change asked for waits while another writer (pellorctl, another Pellor) finishes.
    [[nodiscard]] bool isWaitingForTurn() const { return m_waitingForTurn; }
    [[nodiscard]] bool hasAppliedProfile() const { return m_hasAppliedProfile; }
    [[nodiscard]] const Outcome &lastOutcome() const { return m_lastOutcome; }
    [[nodiscard]] QString timeLabel() const;
    // Said once a session that ran out while no Pellor was running has returned to Normal, until
    // the next apply or restore.
    [[nodiscard]] const std::optional<QString> &resumeNotice() const { return m_resumeNotice; }
    // Why the automatic return of the current session, or the rules' latest switch, failed;
    // none while it has not failed.
    [[nodiscard]] const std::optional<QString> &returnFailure() const { return m_returnFailure; }
    // The failure above was the rules' switch.
    [[nodiscard]] bool rulesSwitchFailed() const { return m_returnFailure && m_failedByRules; }
    // The stored file behind the latest failure, when it is damaged and can be set aside.
    [[nodiscard]] const std::optional<QString> &damagedFile() const { return m_damagedFile; }
    // The latest failure was a restore's (its alert has a title of its own).
    [[nodiscard]] bool failedToRestore() const { return m_failedToRestore; }

    // Called on the main thread after every visible change.
    std::function<void()> onChange;

    // What the rules choose when a timed profile runs out, in place of the return profile; none
    // when no rule holds.
    struct RulesChoice {
        Profile profile;
        AppliedByRule rule;
    };
    std::function<std::optional<RulesChoice>()> rulesAtReturn;
    // Try Again for a switch of the rules that failed.
    std::function<void()> onRetryRules;

Q_SIGNALS:
    // The person applied a profile or restored the original settings (in the window, the quick
    // panel, pellorctl): automatic switching pauses.
    void personChose();
    // Something the store holds changed, as onChange tells the application.
    void changed();

private:
    void notifyChange();
    // Starts `work` in this writer's turn and hands its outcome to one of the callbacks on this
    // object's thread, still in the turn, so that the session record changes with the settings.
    // The returned future finishes after the callback has run.
    QFuture<void> inTurn(const std::function<QFuture<void>()> &work,
                         const std::function<void()> &onSuccess,
                         const std::function<void(const std::exception_ptr &)> &onFailure);
    // Calls `handle` with `future` on this object's thread once it has finished; never after
    // this object is gone.
    template <typename T>
    void whenFinished(const QFuture<T> &future, std::function<void(const QFuture<T> &)> handle);
    QFuture<void> startReturn(const QDateTime &date);
    QFuture<void> applyProfile(const Profile &profile, std::optional<qint64> minutes,
                               const QDateTime &at, const std::optional<AppliedByRule> &rule);
    void finishActivation(const Profile &profile, std::optional<qint64> minutes,
                          const QDateTime &at, const std::optional<AppliedByRule> &rule);
    void failActivation(const std::exception_ptr &error);
    void finishRestore();
    void failRestore(const std::exception_ptr &error);
    void fail(const QString &message);
    // Records the failure; true when it left the settings in doubt, which ends the session.
    bool recordFailure(const std::exception_ptr &error);
    void endSession();
    void forgetResume();
    void store(const std::optional<Session> &session);

    Session m_session;
    QDateTime m_now;
    std::optional<QString> m_errorMessage;
    std::optional<QString> m_notice;
    bool m_isApplying = false;
    bool m_hasAppliedProfile = false;
    std::shared_ptr<Configuring> m_configuration;
    Clock m_clock;
    ProfileProvider m_normalProfile;
    bool m_attemptedReturn = false;
    bool m_returning = false;        // the activation in progress is the automatic return
    bool m_byRules = false;          // the activation being started is the rules' own
    bool m_switchingByRules = false; // the activation in progress is the rules' own
    bool m_failedByRules = false;    // the failure waiting for Try Again was the rules' switch
    bool m_resumedExpired = false;   // the resumed session ran out while no Pellor was running
    std::optional<QString> m_resumeNotice;
    std::optional<QString> m_returnFailure;
    std::optional<QString> m_damagedFile;
    bool m_failedToRestore = false;
    Outcome m_lastOutcome;
    std::shared_ptr<const SessionRecord> m_record;
    std::shared_ptr<const WriterLock> m_writers;
    std::function<Policy()> m_policy = &Policy::inForce;
    bool m_waitingForTurn = false;
};

} // namespace norvane
