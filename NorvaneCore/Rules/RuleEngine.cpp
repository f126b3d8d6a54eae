#include "RuleEngine.h"

#include "Schedule.h"

#include <algorithm>

namespace norvane {

RuleEngine::RuleEngine(std::function<bool(const QString &)> profileExists, const QTimeZone &zone)
    : m_profileExists(std::move(profileExists)), m_zone(zone) {}

void RuleEngine::setRules(const QList<Rule> &rules) {
    m_rules = rules;
}

void RuleEngine::setPaused(bool paused) {
    m_paused = paused;
}

void RuleEngine::settleSource(const RuleReadings &readings) {
    if (readings.source == m_source) {
        m_unsettled.reset();
        return;
    }
    if (m_sourceSince.isValid() && m_sourceSince.secsTo(readings.now) < kSourceSettleSeconds) {
        m_unsettled = readings.source; // counted once the settling time is over
        return;
    }
    // The first reading is no change: it starts no settling time.
    m_sourceSince = m_source == PowerStatus::Source::unknown ? QDateTime() : readings.now;
    m_source = readings.source;
    m_unsettled.reset();
}

bool RuleEngine::conditionHolds(const Rule &rule, const RuleReadings &readings) const {
    const Condition &when = rule.when;
    switch (when.kind) {
    case Condition::Kind::battery:
        return m_source == PowerStatus::Source::battery;
    case Condition::Kind::adapter:
        return m_source == PowerStatus::Source::adapter;
    case Condition::Kind::ups:
        return m_source == PowerStatus::Source::ups;
    case Condition::Kind::batteryBelow:
        if (m_source != PowerStatus::Source::battery || !readings.batteryPercent)
            return false;
        return m_holding.contains(rule.id)
                   ? *readings.batteryPercent < when.percent + kBatteryHysteresis
                   : *readings.batteryPercent <= when.percent;
    case Condition::Kind::schedule:
        return Schedule(when, m_zone).holds(readings.now);
    case Condition::Kind::externalDisplay:
        return readings.externalDisplays > 0;
    case Condition::Kind::application:
        break;
    }
    return readings.applications.contains(when.application);
}

QSet<QString> RuleEngine::holding(const RuleReadings &readings) {
    settleSource(readings);
    QSet<QString> holding;
    for (const Rule &rule : std::as_const(m_rules))
        if (rule.enabled && conditionHolds(rule, readings))
            holding.insert(rule.id);
    return holding;
}

QList<Rule> RuleEngine::precedence() const {
    QList<Rule> ordered;
    for (const bool safety : {true, false})
        for (const Rule &rule : m_rules)
            if (rule.enabled && rule.when.isSafety() == safety)
                ordered << rule;
    return ordered;
}

QString RuleEngine::orNormal(const std::optional<QString> &profileId) const {
    return profileId && m_profileExists(*profileId) ? *profileId : QStringLiteral("normal");
}

std::optional<RuleDecision> RuleEngine::decide(const QSet<QString> &now,
                                               const RuleSituation &situation) {
    const bool rising = !(now - m_holding).isEmpty();
    m_failed.intersect(now);
    m_holding = now;
    if (rising) {
        m_pausedByPerson = false;
        m_returnFailed = false;
    }
    if (m_pending || m_paused || m_pausedByPerson || situation.timedByPerson)
        return std::nullopt;
    const QList<Rule> ordered = precedence();
    const auto winner = std::find_if(ordered.cbegin(), ordered.cend(), [&](const Rule &rule) {
        return m_holding.contains(rule.id) && !m_failed.contains(rule.id) &&
               m_profileExists(rule.profileId);
    });
    if (winner != ordered.cend()) {
        if (winner->id == m_active)
            return std::nullopt;
        if (!m_active)
            m_baseline = situation.profileId;
        m_pending = RuleDecision{winner->profileId, winner->id};
        return m_pending;
    }
    if (!m_active || m_returnFailed)
        return std::nullopt;
    // Something else replaced the rule's profile meanwhile: it is not the rules' to undo.
    if (situation.ruleId != m_active) {
        m_active.reset();
        m_baseline.reset();
        return std::nullopt;
    }
    m_pending = RuleDecision{orNormal(m_baseline), std::nullopt};
    return m_pending;
}

std::optional<RuleDecision> RuleEngine::start(const RuleReadings &readings,
                                              const RuleSituation &situation, bool act) {
    if (situation.ruleId) { // a rule's profile kept from before the restart
        m_active = situation.ruleId;
        m_baseline = situation.previousProfileId;
    }
    const QSet<QString> now = holding(readings);
    if (!act) {
        m_holding = now;
        return std::nullopt;
    }
    m_holding.clear();
    return decide(now, situation);
}

std::optional<RuleDecision> RuleEngine::evaluate(const RuleReadings &readings,
                                                 const RuleSituation &situation) {
    return decide(holding(readings), situation);
}

std::optional<RuleDecision> RuleEngine::atTimedReturn(const RuleSituation &situation) {
    m_pausedByPerson = false;
    m_active.reset();
    if (m_pending || m_paused)
        return std::nullopt;
    std::optional<RuleDecision> decision = decide(m_holding, {situation.profileId, {}, {}, false});
    // When that rule ends, the timed profile is over: back to the return profile.
    m_baseline.reset();
    return decision;
}

void RuleEngine::switched(const RuleDecision &decision) {
    m_pending.reset();
    m_active = decision.ruleId;
    if (!decision.ruleId)
        m_baseline.reset();
}

void RuleEngine::failed(const RuleDecision &decision) {
    m_pending.reset();
    if (decision.ruleId)
        m_failed.insert(*decision.ruleId);
    else
        m_returnFailed = true;
}

void RuleEngine::withdrawn() {
    m_pending.reset();
}

void RuleEngine::personChose() {
    m_pausedByPerson = true;
    m_active.reset();
    m_baseline.reset();
}

void RuleEngine::resume() {
    m_pausedByPerson = false;
    m_failed.clear();
    m_returnFailed = false;
}

QDateTime RuleEngine::nextWake(const QDateTime &now) const {
    QDateTime next;
    const auto consider = [&next](const QDateTime &at) {
        if (at.isValid() && (!next.isValid() || at < next))
            next = at;
    };
    if (m_unsettled)
        consider(m_sourceSince.addSecs(kSourceSettleSeconds));
    for (const Rule &rule : m_rules)
        if (rule.enabled && rule.when.kind == Condition::Kind::schedule)
            consider(Schedule(rule.when, m_zone).nextEdge(now));
    return next;
}

} // namespace norvane
