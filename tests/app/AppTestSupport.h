#pragma once

#include "ControlledConfiguring.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "Status/SystemSettings.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QFuture>
#include <QPromise>
#include <memory>

namespace norvane::test {

// Reads (of the live settings, of the assertions) that finish only when the test delivers
// their result.
template <typename T> class ControlledReads {
public:
    QFuture<T> read() {
        ++started;
        m_promises.push_back(std::make_unique<QPromise<T>>());
        m_promises.back()->start();
        return m_promises.back()->future();
    }
    [[nodiscard]] int pending() const { return int(m_promises.size()); }
    // Finishes the oldest outstanding read with `result`.
    void deliver(const T &result) {
        auto promise = std::move(m_promises.front());
        m_promises.erase(m_promises.begin());
        promise->addResult(result);
        promise->finish();
    }

    int started = 0;

private:
    std::vector<std::unique_ptr<QPromise<T>>> m_promises;
};
using ControlledSystemReader = ControlledReads<SystemSettings>;

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

// A session store on a library in memory, with the clock and the configuration work in the
// test's hands.
struct SessionFixture {
    // Finishes the running apply or restore successfully, with its continuations.
    void succeed() {
        service->succeed();
        processQueuedEvents();
    }

    std::shared_ptr<MemoryProfileStorage> storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library{storage};
    std::shared_ptr<ControlledConfiguring> service = std::make_shared<ControlledConfiguring>();
    QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000);
    SessionStore store{service, [this] { return now; }, [this] { return library.normal(); }};
};

} // namespace norvane::test
