#include "MacConfigurationService.h"

#include "ConfigurationTransaction.h"
#include "NativeConfigurationBackend.h"

#include <QPromise>
#include <QThreadPool>

namespace norvane {

namespace {

// Transactions wait on the authorization dialog for as long as the user takes; they get their
// own threads so status reads on the global pool never queue behind them.
QThreadPool &transactionPool() {
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(4);
        created->setExpiryTimeout(30000);
        return created;
    }();
    return *pool;
}

QFuture<void> runInBackground(std::function<void()> work) {
    auto promise = std::make_shared<QPromise<void>>();
    QFuture<void> future = promise->future();
    promise->start();
    transactionPool().start(
        [promise, work = std::move(work)] {
            QThread::currentThread()->setPriority(QThread::HighPriority);
            try {
                work();
            } catch (...) {
                promise->setException(std::current_exception());
            }
            promise->finish();
        },
        QThread::HighPriority);
    return future;
}

} // namespace

MacConfigurationService::MacConfigurationService(BackendFactory makeBackend)
    : m_makeBackend(makeBackend ? std::move(makeBackend)
                                : [] { return std::make_shared<NativeConfigurationBackend>(); }) {}

QFuture<void> MacConfigurationService::apply(const Profile &profile, BackupSource backup) {
    return runInBackground([makeBackend = m_makeBackend, profile, backup] {
        (void)ConfigurationTransaction(makeBackend()).apply(profile, backup);
    });
}

QFuture<void> MacConfigurationService::restore() {
    return runInBackground(
        [makeBackend = m_makeBackend] { (void)ConfigurationTransaction(makeBackend()).restore(); });
}

} // namespace norvane
