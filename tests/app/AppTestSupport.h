#pragma once

#include "ControlledConfiguring.h"
#include "Status/SystemSettings.h"

#include <QDateTime>
#include <QFuture>
#include <QList>
#include <QPromise>
#include <memory>

namespace norvane::test {

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
