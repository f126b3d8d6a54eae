#pragma once

#include "Rule.h"
#include "RuleReadings.h"

#include <QDateTime>
#include <QSet>
#include <QTimeZone>
#include <functional>
#include <optional>

namespace norvane {

// A switch the rules ask for: a rule's profile, or, once no rule holds, back to the profile that
// was in effect before the rules took over (`ruleId` none).
struct RuleDecision {
    QString profileId;
    std::optional<QString> ruleId;

    friend bool operator==(const RuleDecision &, const RuleDecision &) = default;
};

// What is in effect when the rules decide: the applied profile, the rule that applied it, and the
// one before it.
struct RuleSituation {
    QString profileId;
    std::optional<QString> ruleId;
    std::optional<QString> previousProfileId;
    // A profile the person applied with an automatic return is running: no rule cuts it short.
    bool timedByPerson = false;
};

// Decides when the rules switch. Rules act on edges, when their condition starts or stops holding,
// never on levels: the safety rule (a low battery) first, then the person's order. The person's
// own choice pauses them until a condition next starts to hold or the person resumes them, and
// the end of a rule goes back only while what is in effect is still that rule's doing. A power
// source that changes within 10 seconds of its last change counts once; a low battery holds until
// 3 % above its level or the adapter. A switch that failed is not asked for again until its
// rule's condition next starts to hold. Pure: no timers, no I/O; RuleSwitcher feeds it and carries
// out what it decides, one switch at a time.
class RuleEngine {
public:
    static constexpr qint64 kSourceSettleSeconds = 10;
    static constexpr double kBatteryHysteresis = 3;

    // `profileExists`: whether the library has the profile (a rule whose profile is gone is
    // broken and never acts; going back to a profile that is gone goes to Normal).
    RuleEngine(std::function<bool(const QString &)> profileExists, const QTimeZone &zone);

    void setRules(const QList<Rule> &rules);
    // The person's pause of automatic switching as a whole (RuleBook), until resumed.
    void setPaused(bool paused);

    // The first reading. `act`: whether rules that hold already switch now ("Apply rules when
    // Pellor starts", and no session kept from before the restart), or wait for their next edge.
    [[nodiscard]] std::optional<RuleDecision> start(const RuleReadings &readings,
                                                    const RuleSituation &situation, bool act);
    // Every later reading.
    [[nodiscard]] std::optional<RuleDecision> evaluate(const RuleReadings &readings,
                                                       const RuleSituation &situation);
    // What decides when a timed profile the person applied runs out: the rule that holds then,
    // else none (the return profile). Ends the person's pause.
    [[nodiscard]] std::optional<RuleDecision> atTimedReturn(const RuleSituation &situation);

    // The outcome of the switch asked for last: done, failed (not asked for again until its rule
    // next starts to hold), or not even started because another change was under way (asked
    // for again at the next reading).
    void switched(const RuleDecision &decision);
    void failed(const RuleDecision &decision);
    void withdrawn();

    // The person applied or restored something themselves.
    void personChose();
    // Resume Automatic Switching: the rules' current state decides at the next reading.
    void resume();

    [[nodiscard]] bool isPausedByPerson() const { return m_pausedByPerson; }
    [[nodiscard]] bool holds(const QString &ruleId) const { return m_holding.contains(ruleId); }
    [[nodiscard]] const std::optional<QString> &activeRule() const { return m_active; }
    // When the readings must be taken again even if nothing tells of a change: the next edge of a
    // schedule, or the end of a power source's settling time. Invalid when nothing is due.
    [[nodiscard]] QDateTime nextWake(const QDateTime &now) const;

private:
    [[nodiscard]] QSet<QString> holding(const RuleReadings &readings);
    [[nodiscard]] bool conditionHolds(const Rule &rule, const RuleReadings &readings) const;
    void settleSource(const RuleReadings &readings);
    // The holding rules in the order they outrank each other.
    [[nodiscard]] QList<Rule> precedence() const;
    [[nodiscard]] std::optional<RuleDecision> decide(const QSet<QString> &now,
                                                     const RuleSituation &situation);
    [[nodiscard]] QString orNormal(const std::optional<QString> &profileId) const;

    std::function<bool(const QString &)> m_profileExists;
    QTimeZone m_zone;
    QList<Rule> m_rules;
    bool m_paused = false;
    bool m_pausedByPerson = false;
    QSet<QString> m_holding;
    QSet<QString> m_failed;            // not asked for again until their next edge
    bool m_returnFailed = false;       // the way back failed: not again until an edge
    std::optional<QString> m_active;   // the rule whose profile is in effect by the rules' doing
    std::optional<QString> m_baseline; // what was in effect before the rules took over
    std::optional<RuleDecision> m_pending;
    PowerStatus::Source m_source = PowerStatus::Source::unknown;
    QDateTime m_sourceSince;                        // when the source last counted as changed
    std::optional<PowerStatus::Source> m_unsettled; // a change waiting for the settling time
};

} // namespace norvane
