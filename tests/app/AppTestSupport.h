#pragma once

#include "Configuration/Configuring.h"
#include "Status/SystemSettings.h"

#include <QDateTime>
#include <QFuture>
#include <QList>
#include <QPromise>
#include <memory>

namespace norvane::test {

// A configuration service whose work finishes only when the test says so.
class ControlledConfiguring final : public Configuring {
public:
    QList<Profile> applied;
    int restores = 0;

    QFuture<void> apply(const Profile &profile) override {
        applied << profile;
        return start();
    }
    QFuture<void> restore() override {
        ++restores;
        return start();
    }
    [[nodiscard]] bool pending() const { return m_promise != nullptr; }
    void succeed() { finish({}); }
    template <typename Error> void fail(const Error &error) {
        finish(std::make_exception_ptr(error));
    }

private:
    QFuture<void> start() {
        m_promise = std::make_unique<QPromise<void>>();
        m_promise->start();
        return m_promise->future();
    }
    void finish(const std::exception_ptr &error) {
        auto promise = std::move(m_promise);
        if (error)
            promise->setException(error);
        promise->finish();
    }
    std::unique_ptr<QPromise<void>> m_promise;
};

// Live reads that finish only when the test delivers a snapshot.
class ControlledSystemReader {
public:
    QFuture<SystemSettings> read() {
        ++started;
        m_promises.push_back(std::make_unique<QPromise<SystemSettings>>());
        m_promises.back()->start();
        return m_promises.back()->future();
    }
    [[nodiscard]] int pending() const { return int(m_promises.size()); }
    // Finishes the oldest outstanding read with `snapshot`.
    void deliver(const SystemSettings &snapshot) {
        auto promise = std::move(m_promises.front());
        m_promises.erase(m_promises.begin());
        promise->addResult(snapshot);
        promise->finish();
    }

    int started = 0;

private:
    std::vector<std::unique_ptr<QPromise<SystemSettings>>> m_promises;
};

inline SystemSettings snapshot(std::optional<qint64> display, std::optional<qint64> sleep,
                               const QString &source, std::optional<bool> lowPower = false) {
    SystemSettings settings;
    settings.displayMinutes = display;
    settings.sleepMinutes = sleep;
    settings.source = source;
    settings.lowPower = lowPower;
    settings.readAt = QDateTime::currentDateTime();
    return settings;
}

} // namespace norvane::test
