#include "SessionStore.h"

#include "Configuration/MacConfigurationService.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"
#include "SessionRecord.h"
#include "Worlds/World.h"

#include <QDebug>
#include <QFutureWatcher>
#include <QPromise>

namespace norvane {

namespace {

constexpr qint64 kMaxMinutes = 1440;

// Starts `work`; a failure to even start it counts as a failure of the work.
QFuture<void> start(const std::function<QFuture<void>()> &work) {
    try {
        return work();
    } catch (...) {
        return QtFuture::makeExceptionalFuture(std::current_exception());
    }
}

bool isCancellation(const std::exception_ptr &error) {
    const std::optional<ConfigurationError> configurationError = configurationErrorIn(error);
    return configurationError && configurationError->isCancelled();
}

} // namespace

SessionStore::SessionStore(std::shared_ptr<Configuring> configuration, Clock clock,
                           ProfileProvider normalProfile, QObject *parent)
    : QObject(parent), m_session(Profile::normal(), 0, QDateTime::currentDateTime()),
      m_now(m_session.startedAt),
      m_configuration(configuration ? std::move(configuration)
                                    : std::make_shared<MacConfigurationService>(
                                          [] { return currentWorld()->configurationBackend(); })),
      m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }),
      m_normalProfile(std::move(normalProfile)), m_writers(std::make_shared<WriterLock>()) {}

SessionStore::~SessionStore() = default;

template <typename T>
void SessionStore::whenFinished(const QFuture<T> &future,
                                std::function<void(const QFuture<T> &)> handle) {
    // A watcher owned by the store delivers the outcome on the store's thread and goes away with
    // the store, so work finishing late never reaches a destroyed store.
    auto *watcher = new QFutureWatcher<T>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [watcher, future, handle = std::move(handle)] {
                watcher->deleteLater();
                handle(future);
            });
    watcher->setFuture(future);
}

QFuture<void>
SessionStore::inTurn(const std::function<QFuture<void>()> &work,
                     const std::function<void()> &onSuccess,
                     const std::function<void(const std::exception_ptr &)> &onFailure) {
    using Turn = std::shared_ptr<WriterLock::Hold>;
    auto done = std::make_shared<QPromise<void>>();
    done->start();
    // The turn ends only once the session record says what the settings are.
    const auto finish = [onSuccess, onFailure, done](const std::exception_ptr &failure, Turn turn) {
        if (failure)
            onFailure(failure);
        else
            onSuccess();
        turn.reset();
        done->finish();
    };
    const auto run = [this, work, finish](const Turn &turn) {
        whenFinished<void>(start(work), [finish, turn](QFuture<void> finished) {
            try {
                finished.waitForFinished();
                if (finished.isCanceled())
                    throw PlatformError(
                        QStringLiteral("The settings service stopped before it finished."));
            } catch (...) {
                return finish(std::current_exception(), turn);
            }
            finish(nullptr, turn);
        });
    };
    Turn turn;
    try {
        turn = m_writers->tryTake();
    } catch (...) {
        finish(std::current_exception(), nullptr);
        return done->future();
    }
    if (turn) {
        run(turn);
        return done->future();
    }
    const std::optional<QString> notice =
        std::exchange(m_notice, L10n::text("Waiting for another change to finish…"));
    m_waitingForTurn = true;
    notifyChange();
    whenFinished<Turn>(m_writers->take(), [this, notice, run, finish](const QFuture<Turn> &taken) {
        m_waitingForTurn = false;
        Turn turn;
        try {
            turn = taken.result();
        } catch (...) {
            return finish(std::current_exception(), nullptr);
        }
        m_notice = notice;
        notifyChange();
        run(turn);
    });
    return done->future();
}

QFuture<void> SessionStore::activate(const Profile &profile, std::optional<qint64> minutes,
                                     const QDateTime &at) {
    return applyProfile(profile, minutes, at, std::nullopt);
}

QFuture<void> SessionStore::activateForRules(const Profile &profile,
                                             const std::optional<AppliedByRule> &rule,
                                             const QDateTime &at) {
    m_byRules = true;
    return applyProfile(profile, 0, at, rule);
}

QFuture<void> SessionStore::applyProfile(const Profile &profile, std::optional<qint64> minutes,
                                         const QDateTime &at,
                                         const std::optional<AppliedByRule> &rule) {
    const bool byRules = std::exchange(m_byRules, false);
    const bool byPerson = !byRules && !m_returning;
    if (m_isApplying)
        return QtFuture::makeReadyFuture();
    try {
        (void)profile.validated();
    } catch (const std::exception &error) {
        fail(localizedDescription(error));
        return QtFuture::makeReadyFuture();
    }
    if (const std::optional<QString> refusal = m_policy().violation(profile)) {
        fail(*refusal);
        return QtFuture::makeReadyFuture();
    }
    if (minutes && (*minutes < 0 || *minutes > kMaxMinutes)) {
        fail(L10n::text("The automatic return time must be between 0 and 1440 minutes."));
        return QtFuture::makeReadyFuture();
    }

    m_isApplying = true;
    m_switchingByRules = byRules;
    m_notice = systemText(
        "Saving macOS settings. Complete authorization in the system dialog if prompted.",
        "Saving your {0} settings.");
    if (!m_returning)
        forgetResume();
    notifyChange();

    return inTurn(
        [this, profile] {
            // While a profile of Pellor's own is in effect, a missing backup must not take its
            // values for the person's.
            return m_configuration->apply(profile, m_hasAppliedProfile
                                                       ? BackupSource::systemDefaults
                                                       : BackupSource::settingsInEffect);
        },
        [this, profile, minutes, at, rule, byPerson] {
            finishActivation(profile, minutes, at, rule);
            if (byPerson)
                Q_EMIT personChose();
        },
        [this](const std::exception_ptr &error) { failActivation(error); });
}

void SessionStore::finishActivation(const Profile &profile, std::optional<qint64> minutes,
                                    const QDateTime &at, const std::optional<AppliedByRule> &rule) {
    // Time spent in the authorization dialog does not shorten the timer.
    const QDateTime start = std::max(m_clock(), at);
    const Profile ranOut = m_session.profile;
    // Applied again, a profile keeps what was before it.
    const std::optional<QString> previous = !m_hasAppliedProfile ? std::nullopt
                                            : m_session.profile.id == profile.id
                                                ? m_session.previousProfileId
                                                : std::optional(m_session.profile.id);
    m_session = Session(profile, minutes.value_or(profile.defaultMinutes), start);
    m_session.rule = rule;
    m_session.previousProfileId = previous;
    m_now = start;
    m_hasAppliedProfile = true;
    m_attemptedReturn = false;
    if (std::exchange(m_returning, false) && std::exchange(m_resumedExpired, false))
        m_resumeNotice = L10n::text({"{0} ran out while Pellor was closed, so {1} was applied.",
                                     {ranOut.localizedTitle(), profile.localizedTitle()}});
    m_returnFailure.reset();
    m_failedByRules = m_switchingByRules = false;
    m_notice = systemText("Saved and verified macOS settings for {0}.",
                          "Saved and verified {1} settings for {0}.", {profile.localizedTitle()});
    m_lastOutcome = {Outcome::Kind::applied, {}};
    m_isApplying = false;
    store(m_session);
    notifyChange();
}

void SessionStore::failActivation(const std::exception_ptr &error) {
    const bool returning = std::exchange(m_returning, false);
    if (recordFailure(error))
        m_notice =
            L10n::text("Could not confirm that settings were applied. Check the current settings.");
    else if (isCancellation(error))
        m_notice = L10n::text("Cancelled. System settings are unchanged.");
    else
        m_notice = L10n::text("Could not apply the profile. System settings are unchanged.");
    // A switch Pellor made by itself waits for Try Again; nothing retries on its own.
    if ((returning && m_hasAppliedProfile) || m_switchingByRules)
        m_returnFailure = m_errorMessage;
    m_failedByRules = std::exchange(m_switchingByRules, false);
    m_failedToRestore = false;
    m_isApplying = false;
    notifyChange();
}

void SessionStore::fail(const QString &message) {
    if (std::exchange(m_returning, false) && m_hasAppliedProfile)
        m_returnFailure = message;
    m_errorMessage = message;
    m_damagedFile.reset();
    m_failedToRestore = false;
    m_lastOutcome = {Outcome::Kind::failed, message};
    notifyChange();
}

bool SessionStore::recordFailure(const std::exception_ptr &error) {
    const std::optional<ConfigurationError> configurationError = configurationErrorIn(error);
    m_errorMessage = localizedDescription(error);
    m_damagedFile = configurationError ? configurationError->damagedFile() : std::nullopt;
    m_lastOutcome = {isCancellation(error) ? Outcome::Kind::cancelled : Outcome::Kind::failed,
                     *m_errorMessage};
    // Every other failure left the settings as they were, so the running session goes on.
    const bool inDoubt = configurationError && configurationError->leavesSettingsInDoubt();
    if (inDoubt)
        endSession();
    return inDoubt;
}

void SessionStore::forgetResume() {
    m_resumedExpired = false;
    m_resumeNotice.reset();
}

void SessionStore::endSession() {
    m_hasAppliedProfile = false;
    m_returnFailure.reset();
    store(std::nullopt);
}

QFuture<void> SessionStore::restoreOriginal() {
    if (m_isApplying)
        return QtFuture::makeReadyFuture();
    if (const std::optional<QString> refusal = m_policy().restoreRefusal()) {
        fail(*refusal);
        return QtFuture::makeReadyFuture();
    }
    m_isApplying = true;
    forgetResume();
    notifyChange();

    return inTurn([this] { return m_configuration->restore(); }, [this] { finishRestore(); },
                  [this](const std::exception_ptr &error) { failRestore(error); });
}

void SessionStore::finishRestore() {
    endSession();
    // The restored session starts at the system time, not the store's clock.
    m_session = Session(Profile::normal(), 0, QDateTime::currentDateTime());
    m_notice = L10n::text("Restored the original settings saved before the first change.");
    m_lastOutcome = {Outcome::Kind::restored, {}};
    m_isApplying = false;
    notifyChange();
    Q_EMIT personChose();
}

void SessionStore::failRestore(const std::exception_ptr &error) {
    if (recordFailure(error))
        m_notice = L10n::text("Restoration is incomplete. Check the current settings.");
    else if (isCancellation(error))
        m_notice = L10n::text("Cancelled. System settings are unchanged.");
    else
        m_notice =
            L10n::text("Could not restore the original settings. System settings are unchanged.");
    m_failedToRestore = true;
    m_isApplying = false;
    notifyChange();
}

void SessionStore::tick(const QDateTime &date) {
    m_now = date;
    if (!m_hasAppliedProfile || m_isApplying || m_attemptedReturn || !m_session.hasExpired(date))
        return;
    m_attemptedReturn = true;
    // The return runs as its own task on this thread, so tick never waits for it.
    QMetaObject::invokeMethod(
        this, [this, date] { startReturn(date); }, Qt::QueuedConnection);
}

QFuture<void> SessionStore::retryReturn() {
    if (!m_returnFailure || m_isApplying)
        return QtFuture::makeReadyFuture();
    m_returnFailure.reset();
    if (std::exchange(m_failedByRules, false)) {
        if (onRetryRules)
            onRetryRules();
        return QtFuture::makeReadyFuture();
    }
    return startReturn(m_clock());
}

QFuture<void> SessionStore::startReturn(const QDateTime &date) {
    if (m_isApplying) // the user started another apply meanwhile
        return QtFuture::makeReadyFuture();
    m_returning = true;
    // The rules decide when a timed profile runs out, and Normal only when none holds.
    if (rulesAtReturn)
        if (const std::optional<RulesChoice> choice = rulesAtReturn())
            return applyProfile(choice->profile, 0, date, choice->rule);
    return applyProfile(m_normalProfile(), std::nullopt, date, std::nullopt);
}

void SessionStore::keepSessionsIn(std::shared_ptr<const SessionRecord> record) {
    m_record = std::move(record);
    std::optional<Session> stored;
    try {
        stored = m_record->load();
    } catch (const std::exception &error) {
        qWarning().noquote() << "Pellor: ignoring the stored session in" << m_record->path() << "-"
                             << localizedDescription(error);
        return;
    }
    if (!stored)
        return;
    m_session = *stored;
    m_hasAppliedProfile = true;
    m_attemptedReturn = false;
    m_now = m_clock();
    m_resumedExpired = m_session.hasExpired(m_now);
    notifyChange();
}

void SessionStore::store(const std::optional<Session> &session) {
    if (!m_record)
        return;
    try {
        m_record->save(session);
    } catch (const std::exception &error) {
        // The settings are applied either way; only a later start would not know of them.
        qWarning().noquote() << "Pellor: could not keep the session in" << m_record->path() << "-"
                             << localizedDescription(error);
    }
}

QString SessionStore::timeLabel() const {
    if (m_isApplying)
        return L10n::text("Waiting for settings…");
    if (!m_hasAppliedProfile)
        return L10n::text("Using system settings");
    return m_session.remainingLabel(m_now);
}

void SessionStore::notifyChange() {
    if (onChange)
        onChange();
    Q_EMIT changed();
}

} // namespace norvane
