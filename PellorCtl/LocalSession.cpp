#include "LocalSession.h"

#include "Localization/L10n.h"
#include "Platform/SignalWatcher.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionRecord.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QTextStream>
#include <QTimer>

namespace norvane {

LocalSession::LocalSession(const ProfileLibrary &library, QTextStream &out, QTextStream &err,
                           Environment environment)
    : m_library(library), m_out(out), m_err(err), m_environment(std::move(environment)),
      m_store(new SessionStore(
          m_environment.configuration, m_environment.clock, [&library] { return library.normal(); },
          this)) {
    m_store->keepSessionsIn(m_environment.record ? m_environment.record : record());
    // Says once why nothing seems to happen while another change finishes.
    m_store->onChange = [this] {
        if (m_store->isWaitingForTurn() && !std::exchange(m_saidWaiting, true))
            m_err << m_store->notice().value_or(QString()) << Qt::endl;
    };
}

LocalSession::~LocalSession() = default;

std::shared_ptr<const SessionRecord> LocalSession::record() {
    return SessionRecord::ofCurrentSystem();
}

QDateTime LocalSession::now() const {
    return m_environment.clock ? m_environment.clock() : QDateTime::currentDateTime();
}

ExitCode LocalSession::finish(const QFuture<void> &work) {
    if (!work.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<void> watcher;
        connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(work);
        loop.exec();
    }
    const SessionStore::Outcome &outcome = m_store->lastOutcome();
    switch (outcome.kind) {
    case SessionStore::Outcome::Kind::applied:
    case SessionStore::Outcome::Kind::restored:
        m_out << m_store->notice().value_or(QString()) << Qt::endl;
        return ExitCode::success;
    case SessionStore::Outcome::Kind::cancelled:
        m_err << outcome.message << Qt::endl;
        return ExitCode::cancelled;
    case SessionStore::Outcome::Kind::none:
    case SessionStore::Outcome::Kind::failed:
        break;
    }
    m_err << outcome.message << Qt::endl;
    return ExitCode::failed;
}

ExitCode LocalSession::apply(const Profile &profile, std::optional<qint64> minutes) {
    SignalWatcher watcher;
    connect(&watcher, &SignalWatcher::received, this, &LocalSession::requestReturn);
    const ExitCode applied = finish(m_store->activate(profile, minutes, now()));
    if (applied != ExitCode::success || !m_store->session().deadline)
        return applied;
    waitForReturnTime();
    return finish(m_store->activate(m_library.normal(), std::nullopt, now()));
}

ExitCode LocalSession::restore() {
    SignalWatcher watcher; // a restore that has begun runs to its end
    return finish(m_store->restoreOriginal());
}

void LocalSession::waitForReturnTime() {
    m_store->tick(now());
    if (m_environment.terminal)
        m_out << countdownLine() << Qt::flush;
    else
        m_out << countdownLine() << Qt::endl;

    QEventLoop loop;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, &LocalSession::step);
    timer.start(m_environment.tickMilliseconds);
    m_countdown = &loop;
    step();
    if (m_countdown)
        loop.exec();
    if (m_environment.terminal)
        m_out << Qt::endl;
}

void LocalSession::step() {
    if (!m_countdown)
        return;
    const QDateTime date = now();
    if (m_returnRequested || m_store->session().hasExpired(date)) {
        m_countdown->quit();
        m_countdown = nullptr;
        return;
    }
    m_store->tick(date); // not due yet, so this only advances the label
    if (m_environment.terminal)
        m_out << "\r\x1b[K" << countdownLine() << Qt::flush;
}

void LocalSession::requestReturn() {
    m_returnRequested = true;
    step();
}

QString LocalSession::countdownLine() const {
    return L10n::text({"Returning to {0} in {1}. Press Ctrl+C to return now.",
                       {m_library.normal().localizedTitle(), m_store->timeLabel()}});
}

} // namespace norvane
