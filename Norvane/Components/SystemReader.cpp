#include "SystemReader.h"

#include <QPromise>
#include <QThreadPool>
#include <memory>

namespace norvane {

QFuture<SystemSettings> readSystemInBackground() {
    auto promise = std::make_shared<QPromise<SystemSettings>>();
    QFuture<SystemSettings> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise] {
        promise->addResult(SystemSettings::read());
        promise->finish();
    });
    return future;
}

} // namespace norvane
