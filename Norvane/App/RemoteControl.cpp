#include "RemoteControl.h"

#include "AppDelegate.h"
#include "Components/WhenFinished.h"
#include "Profiles/ProfileLibrary.h"

namespace norvane {

namespace {

using Outcome = control::Response::Outcome;

Outcome outcomeOf(const SessionStore::Outcome &outcome) {
    switch (outcome.kind) {
    case SessionStore::Outcome::Kind::applied:
    case SessionStore::Outcome::Kind::restored:
        return Outcome::ok;
    case SessionStore::Outcome::Kind::cancelled:
        return Outcome::cancelled;
    case SessionStore::Outcome::Kind::none:
    case SessionStore::Outcome::Kind::failed:
        break;
    }
    return Outcome::failed;
}

// Replies once the store has recorded the outcome of `work`.
void replyWhenDone(AppDelegate &delegate, const QFuture<void> &work,
                   const ReopenChannel::Reply &reply) {
    // The delegate owns the watcher, so the reply never reaches a delegate that is gone.
    whenFinished(&delegate, work, [&delegate, reply](const QFuture<void> &) {
        const SessionStore &store = delegate.store();
        reply({outcomeOf(store.lastOutcome()), store.lastOutcome().message,
               RemoteControl::sessionState(store)});
    });
}

} // namespace

control::SessionState RemoteControl::sessionState(const SessionStore &store) {
    control::SessionState state;
    if (store.hasAppliedProfile())
        state = control::SessionState::applied(store.session(), store.now());
    state.applying = store.isApplying();
    state.timeLabel = store.timeLabel();
    return state;
}

void RemoteControl::handle(AppDelegate &delegate, const control::Request &request,
                           const ReopenChannel::Reply &reply) {
    SessionStore &store = delegate.store();
    const auto answer = [&](Outcome outcome) { reply({outcome, {}, sessionState(store)}); };
    switch (request.kind) {
    case control::Request::Kind::show:
        delegate.applicationShouldHandleReopen();
        return answer(Outcome::ok);
    case control::Request::Kind::status:
        return answer(Outcome::ok);
    case control::Request::Kind::apply: {
        if (store.isApplying())
            return answer(Outcome::busy);
        const std::optional<Profile> profile = delegate.library().profile(request.profileId);
        if (!profile)
            return answer(Outcome::notFound);
        return replyWhenDone(delegate, delegate.activate(*profile, request.minutes), reply);
    }
    case control::Request::Kind::restore:
        if (store.isApplying())
            return answer(Outcome::busy);
        return replyWhenDone(delegate, store.restoreOriginal(), reply);
    }
}

} // namespace norvane
