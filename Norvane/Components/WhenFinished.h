#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>

namespace norvane {

// Calls `done` on `owner`'s thread once `future` has finished, unless `owner` is gone by then.
// A watcher owned by `owner` rather than a continuation with a context: a continuation whose
// context has been destroyed trips an assertion of Qt 6.4 when the future finishes later.
template <typename T, typename Done>
void whenFinished(QObject *owner, const QFuture<T> &future, Done done) {
    auto *watcher = new QFutureWatcher<T>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, owner, [watcher, done] {
        watcher->deleteLater();
        done(watcher->future());
    });
    watcher->setFuture(future);
}

} // namespace norvane
