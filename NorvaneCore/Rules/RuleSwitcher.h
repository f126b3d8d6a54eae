#pragma once

#include "RuleEngine.h"
#include "Sessions/Session.h"

#include <QFuture>
#include <QObject>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QTimer;

namespace norvane {

class ProfileLibrary;
class RuleBook;
class SessionStore;
class SystemWatcher;
class WallClockTimer;
class World;

// A switch the rules made, or tried to: the rule that asked for it (for a return, the rule that
// stopped holding; none once it is no longer in force), the profile it applied, and the one in
// effect before it ("normal" when only the original settings were).
struct RuleSwitch {
    std::optional<Rule> rule;
    bool returned = false; // no rule holds any more: what was in effect before the rules is back
    QString profileId;
    QString previousProfileId;
};

// Carries out what the rules decide while Pellor runs. Reads the world when it tells of a change
// (the power source), when a schedule's window opens or closes or a power source has settled (one
// timer, set to the next of these), every few seconds only while an enabled rule waits for an
// application (or for the power source, where the world tells of no change), and when the rules
// file changes. Hands the readings to a RuleEngine and applies its decisions through the session
// store, one at a time, as verified as any other change; the person's own changes pause it.
// Lives on the main thread.
class RuleSwitcher : public QObject {
    Q_OBJECT

public:
    struct Environment {
        std::shared_ptr<const World> world;
        std::function<QDateTime()> clock; // none: the system's
        QTimeZone zone = QTimeZone::systemTimeZone();
        // Reads off the main thread; none: RuleReadings::read() on the thread pool.
        std::function<QFuture<RuleReadings>(const QList<Rule> &)> read;
        int pollMilliseconds = 5000;
        // The administrator's rules, which go before the person's, and whether the person's own
        // rules act at all (while they may not, the person's pause does not stop the
        // administrator's).
        QList<Rule> managedRules;
        bool personsRulesAllowed = true;
        // How many external displays are connected, read on the main thread with every reading;
        // none: 0. Whoever can see the screens calls readAgain() when they change.
        std::function<int()> externalDisplays;
    };

    RuleSwitcher(SessionStore &store, const ProfileLibrary &library, RuleBook &book,
                 Environment environment, QObject *parent = nullptr);
    ~RuleSwitcher() override;

    // Takes the first reading. Rules that hold already switch now when the rules say so at start
    // and no session was kept from before the restart (`sessionKept`).
    void start(bool sessionKept);
    // Reads again now.
    void readAgain();
    // Resume Automatic Switching, after the person's own choice paused it.
    void resume();
    // Try Again after a switch of the rules failed.
    void retry();
    // The rule book was changed in this process: its rules act now.
    void rulesEdited();
    // The administrator's rules and whether the person's own act, as the administrator's folder
    // says now; the rules in force change at once.
    void administer(const QList<Rule> &managedRules, bool personsRulesAllowed);

    [[nodiscard]] bool isPausedByPerson() const { return m_engine.isPausedByPerson(); }
    // Automatic switching as a whole is paused until resumed (the rules file says so).
    [[nodiscard]] bool isPaused() const;
    // Whether the rule's condition held at the latest reading.
    [[nodiscard]] bool holds(const QString &ruleId) const { return m_engine.holds(ruleId); }
    [[nodiscard]] const QList<Rule> &managedRules() const { return m_environment.managedRules; }
    [[nodiscard]] bool personsRulesAllowed() const { return m_environment.personsRulesAllowed; }
    // The rules that act, in the order that decides between them: the administrator's, then the
    // person's (none while the policy turns them off; none that reuses an administrator's
    // identifier).
    [[nodiscard]] QList<Rule> inForce() const;
    // Why the latest switch of the rules failed; none once one succeeds.
    [[nodiscard]] const std::optional<QString> &failure() const { return m_failure; }

Q_SIGNALS:
    // Something the views show about the rules changed.
    void changed();
    // The rules applied a profile, verified.
    void switched(const norvane::RuleSwitch &change);
    // A switch of the rules failed, with the reason; retry() tries it again.
    void switchFailed(const norvane::RuleSwitch &change, const QString &message);

private:
    void read(const std::function<std::optional<RuleDecision>(const RuleReadings &)> &decide);
    void carryOut(const std::optional<RuleDecision> &decision);
    void rulesChanged();
    // A timed profile ran out and the store applied a rule's profile in place of the return
    // profile: tells of the switch once the store has it in effect, or of its failure.
    void handoverSettled();
    void schedule();
    [[nodiscard]] RuleSituation situation() const;
    [[nodiscard]] std::optional<AppliedByRule> markOf(const std::optional<QString> &ruleId) const;
    [[nodiscard]] std::optional<Rule> ruleOf(const std::optional<QString> &ruleId) const;
    [[nodiscard]] bool waitsForApplications() const;
    [[nodiscard]] QDateTime now() const;

    SessionStore &m_store;
    const ProfileLibrary &m_library;
    RuleBook &m_book;
    Environment m_environment;
    RuleEngine m_engine;
    std::optional<RuleDecision> m_failed;
    std::optional<QString> m_failure;
    struct Handover {
        RuleDecision decision;
        RuleSwitch change;
    };
    std::optional<Handover> m_handover; // a rule's switch at a timed return, until settled
    bool m_started = false;
    bool m_rulesRead = false;
    bool m_reading = false;
    bool m_readAgain = false;
    WallClockTimer *m_wake;
    QTimer *m_poll;
    QFileSystemWatcher *m_files;
    std::unique_ptr<SystemWatcher> m_worldWatcher;
};

} // namespace norvane
