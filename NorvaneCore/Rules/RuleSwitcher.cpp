#include "RuleSwitcher.h"

#include "Platform/WallClockTimer.h"
#include "Profiles/ProfileLibrary.h"
#include "RuleBook.h"
#include "Sessions/SessionStore.h"
#include "Worlds/World.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

namespace norvane {

namespace {

QFuture<RuleReadings> readInBackground(const std::shared_ptr<const World> &world,
                                       const QList<Rule> &rules, const QDateTime &now) {
    auto promise = std::make_shared<QPromise<RuleReadings>>();
    promise->start();
    QThreadPool::globalInstance()->start([promise, world, rules, now] {
        promise->addResult(RuleReadings::read(*world, rules, now));
        promise->finish();
    });
    return promise->future();
}

// Calls `handle` with the finished future on `owner`'s thread, never after `owner` is gone.
template <typename T>
void whenFinished(QObject *owner, const QFuture<T> &future,
                  std::function<void(const QFuture<T> &)> handle) {
    auto *watcher = new QFutureWatcher<T>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, owner,
                     [watcher, future, handle = std::move(handle)] {
                         watcher->deleteLater();
                         handle(future);
                     });
    watcher->setFuture(future);
}

bool watchesPower(const Rule &rule) {
    return rule.enabled && rule.when.kind != Condition::Kind::schedule &&
           rule.when.kind != Condition::Kind::application &&
           rule.when.kind != Condition::Kind::externalDisplay;
}

} // namespace

RuleSwitcher::RuleSwitcher(SessionStore &store, const ProfileLibrary &library, RuleBook &book,
                           Environment environment, QObject *parent)
    : QObject(parent), m_store(store), m_library(library), m_book(book),
      m_environment(std::move(environment)),
      m_engine([&library](const QString &id) { return library.profile(id).has_value(); },
               m_environment.zone),
      m_wake(new WallClockTimer(this)), m_poll(new QTimer(this)),
      m_files(new QFileSystemWatcher(this)) {
    if (!m_environment.clock)
        m_environment.clock = [] { return QDateTime::currentDateTime(); };
    if (!m_environment.read)
        m_environment.read = [this](const QList<Rule> &rules) {
            return readInBackground(m_environment.world, rules, now());
        };
    if (m_environment.world)
        m_worldWatcher = m_environment.world->watch();
    if (m_worldWatcher)
        connect(m_worldWatcher.get(), &SystemWatcher::changed, this, &RuleSwitcher::readAgain);
    connect(m_wake, &WallClockTimer::fired, this, &RuleSwitcher::readAgain);
    m_poll->setInterval(m_environment.pollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, &RuleSwitcher::readAgain);
    // The file is replaced whole, which a watcher of the file alone loses.
    connect(m_files, &QFileSystemWatcher::directoryChanged, this, &RuleSwitcher::rulesChanged);
    connect(m_files, &QFileSystemWatcher::fileChanged, this, &RuleSwitcher::rulesChanged);
    connect(&m_store, &SessionStore::personChose, this, [this] {
        m_engine.personChose();
        m_failed.reset();
        m_failure.reset();
        Q_EMIT changed();
    });
    m_store.rulesAtReturn = [this]() -> std::optional<SessionStore::RulesChoice> {
        const std::optional<RuleDecision> decision = m_engine.atTimedReturn(situation());
        if (!decision || !decision->ruleId)
            return std::nullopt;
        const std::optional<Profile> profile = m_library.profile(decision->profileId);
        if (!profile)
            return std::nullopt;
        // The return itself says whether it worked, with Try Again where it did not; the switch
        // is told once the store has settled it.
        m_engine.switched(*decision);
        m_handover = {*decision,
                      {ruleOf(decision->ruleId), false, profile->id, situation().profileId}};
        return SessionStore::RulesChoice{*profile, *markOf(decision->ruleId)};
    };
    connect(&m_store, &SessionStore::changed, this, &RuleSwitcher::handoverSettled);
}

void RuleSwitcher::handoverSettled() {
    if (!m_handover || m_store.isApplying())
        return;
    const auto [decision, change] = *std::exchange(m_handover, std::nullopt);
    const SessionStore::Outcome &outcome = m_store.lastOutcome();
    if (outcome.kind == SessionStore::Outcome::Kind::applied) {
        Q_EMIT switched(change);
        return;
    }
    m_engine.failed(decision);
    m_failed = decision;
    m_failure = outcome.message;
    Q_EMIT changed();
    Q_EMIT switchFailed(change, outcome.message);
}

RuleSwitcher::~RuleSwitcher() {
    m_store.rulesAtReturn = nullptr;
}

QDateTime RuleSwitcher::now() const {
    return m_environment.clock();
}

void RuleSwitcher::start(bool sessionKept) {
    m_started = true;
    rulesChanged();
    read([this, sessionKept](const RuleReadings &readings) {
        return m_engine.start(readings, situation(), m_book.appliesAtStart() && !sessionKept);
    });
}

void RuleSwitcher::readAgain() {
    if (!m_started)
        return;
    read([this](const RuleReadings &readings) { return m_engine.evaluate(readings, situation()); });
}

void RuleSwitcher::read(
    const std::function<std::optional<RuleDecision>(const RuleReadings &)> &decide) {
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    // Without a rule there is nothing to decide, and nothing to read.
    const QList<Rule> rules = inForce();
    if (std::none_of(rules.cbegin(), rules.cend(), [](const Rule &rule) { return rule.enabled; }))
        return;
    m_reading = true;
    whenFinished<RuleReadings>(this, m_environment.read(rules),
                               [this, decide](const QFuture<RuleReadings> &readings) {
                                   m_reading = false;
                                   if (readings.resultCount() > 0) {
                                       RuleReadings read = readings.result();
                                       if (m_environment.externalDisplays)
                                           read.externalDisplays = m_environment.externalDisplays();
                                       carryOut(decide(read));
                                   }
                                   Q_EMIT changed(); // which rules hold
                                   schedule();
                                   if (std::exchange(m_readAgain, false))
                                       readAgain();
                               });
}

void RuleSwitcher::carryOut(const std::optional<RuleDecision> &decision) {
    if (!decision)
        return;
    // Another change is under way (the person's, the automatic return): when it is the
    // person's, the rules pause anyway.
    if (m_store.isApplying())
        return m_engine.withdrawn();
    const std::optional<Profile> profile = m_library.profileOrNormal(decision->profileId);
    if (!profile)
        return m_engine.failed(*decision);
    // A return is told by the rule that ended.
    const RuleSwitch change{ruleOf(decision->ruleId ? decision->ruleId : m_engine.activeRule()),
                            !decision->ruleId, profile->id, situation().profileId};
    whenFinished<void>(this, m_store.activateForRules(*profile, markOf(decision->ruleId), now()),
                       [this, decision = *decision, change](const QFuture<void> &) {
                           const SessionStore::Outcome &outcome = m_store.lastOutcome();
                           const bool applied =
                               outcome.kind == SessionStore::Outcome::Kind::applied;
                           if (applied) {
                               m_engine.switched(decision);
                               m_failed.reset();
                               m_failure.reset();
                           } else {
                               m_engine.failed(decision);
                               m_failed = decision;
                               m_failure = outcome.message;
                           }
                           Q_EMIT changed();
                           if (applied)
                               Q_EMIT switched(change);
                           else
                               Q_EMIT switchFailed(change, outcome.message);
                           schedule();
                       });
}

void RuleSwitcher::retry() {
    if (const std::optional<RuleDecision> decision = std::exchange(m_failed, std::nullopt)) {
        m_failure.reset();
        carryOut(decision);
    }
}

void RuleSwitcher::resume() {
    m_engine.resume();
    if (m_book.isPaused() && !m_book.loadError())
        m_book.setPaused(false);
    m_engine.setPaused(false);
    Q_EMIT changed();
    readAgain();
}

bool RuleSwitcher::isPaused() const {
    return m_environment.personsRulesAllowed && m_book.isPaused();
}

void RuleSwitcher::rulesChanged() {
    // A file replaced whole leaves the watch list: watch it again (and its folder, for a file
    // that is not there yet).
    const QString folder = QFileInfo(m_book.path()).absolutePath();
    if (!m_files->directories().contains(folder))
        m_files->addPath(folder);
    if (!m_files->files().contains(m_book.path()) && QFileInfo::exists(m_book.path()))
        m_files->addPath(m_book.path());
    if (!m_book.reload() && std::exchange(m_rulesRead, true))
        return;
    rulesEdited();
}

void RuleSwitcher::administer(const QList<Rule> &managedRules, bool personsRulesAllowed) {
    m_environment.managedRules = managedRules;
    m_environment.personsRulesAllowed = personsRulesAllowed;
    if (m_started)
        rulesEdited();
}

void RuleSwitcher::rulesEdited() {
    m_engine.setRules(inForce());
    m_engine.setPaused(m_environment.personsRulesAllowed && m_book.isPaused());
    const QList<Rule> rules = inForce();
    const bool pollPower =
        !m_worldWatcher && std::any_of(rules.cbegin(), rules.cend(), watchesPower);
    if (waitsForApplications() || pollPower)
        m_poll->start();
    else
        m_poll->stop();
    Q_EMIT changed();
    readAgain();
}

bool RuleSwitcher::waitsForApplications() const {
    const QList<Rule> rules = inForce();
    return std::any_of(rules.cbegin(), rules.cend(), [](const Rule &rule) {
        return rule.enabled && rule.when.kind == Condition::Kind::application;
    });
}

void RuleSwitcher::schedule() {
    m_wake->fireAt(m_engine.nextWake(now()));
}

RuleSituation RuleSwitcher::situation() const {
    if (!m_store.hasAppliedProfile())
        return {QStringLiteral("normal"), {}, {}, false};
    const Session &session = m_store.session();
    return {session.profile.id, session.rule ? std::optional(session.rule->id) : std::nullopt,
            session.previousProfileId, session.deadline.has_value() && !session.rule};
}

QList<Rule> RuleSwitcher::inForce() const {
    QList<Rule> rules = m_environment.managedRules;
    if (!m_environment.personsRulesAllowed)
        return rules;
    for (const Rule &rule : m_book.rules())
        if (std::none_of(m_environment.managedRules.cbegin(), m_environment.managedRules.cend(),
                         [&](const Rule &managed) { return managed.id == rule.id; }))
            rules << rule;
    return rules;
}

std::optional<Rule> RuleSwitcher::ruleOf(const std::optional<QString> &ruleId) const {
    const QList<Rule> rules = inForce();
    const auto rule = std::find_if(rules.cbegin(), rules.cend(),
                                   [&](const Rule &candidate) { return candidate.id == ruleId; });
    return rule == rules.cend() ? std::nullopt : std::optional(*rule);
}

std::optional<AppliedByRule> RuleSwitcher::markOf(const std::optional<QString> &ruleId) const {
    if (!ruleId)
        return std::nullopt;
    const std::optional<Rule> rule = ruleOf(ruleId);
    return AppliedByRule{*ruleId, rule ? rule->when.description() : QString()};
}

} // namespace norvane
