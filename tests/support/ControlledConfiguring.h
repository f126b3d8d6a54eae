#pragma once

#include "Configuration/Configuring.h"

#include <QFuture>
#include <QList>
#include <QPromise>
#include <functional>
#include <memory>
#include <utility>

namespace norvane::test {

// A configuration service whose work finishes only when the test says so.
class ControlledConfiguring final : public Configuring {
public:
    QList<Profile> applied;
    QList<BackupSource> backups; // what each apply was told to make a missing backup from
    int restores = 0;
    std::function<void()> onStart; // told when work starts

    QFuture<void> apply(const Profile &profile, BackupSource backup) override {
        applied << profile;
        backups << backup;
        return start();
    }
    QFuture<void> restore() override {
        ++restores;
        return start();
    }
    [[nodiscard]] bool pending() const { return m_promise != nullptr; }
    // Finishing may start new work, so the promise is taken out first.
    void succeed() { std::exchange(m_promise, nullptr)->finish(); }
    // Drops the work unfinished, as a service torn down mid-way would.
    void abandon() { m_promise.reset(); }
    template <typename Error> void fail(const Error &error) {
        fail(std::make_exception_ptr(error));
    }
    void fail(const std::exception_ptr &error) {
        const auto promise = std::exchange(m_promise, nullptr);
        promise->setException(error);
        promise->finish();
    }

private:
    QFuture<void> start() {
        m_promise = std::make_unique<QPromise<void>>();
        m_promise->start();
        QFuture<void> future = m_promise->future();
        if (onStart)
            onStart();
        return future;
    }
    std::unique_ptr<QPromise<void>> m_promise;
};

} // namespace norvane::test
