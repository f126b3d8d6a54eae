#pragma once

#include "HostPreferences.h"
#include "PowerSources.h"

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <QVariantMap>

// The core's side of the simulated Mac that stands in for the real one on other systems: the
// simulator's folder, the current host's preferences (a JSON file per domain) and the assertion
// status. The stand-in pmset and osascript programs (MacSimulator/) share the folder.
namespace norvane {

// $NORVANE_SIM_HOME when set and not empty, else $XDG_STATE_HOME/norvane-sim, else
// ~/.local/state/norvane-sim.
[[nodiscard]] QString simulatorHome();

// The parts of the simulator's state file (<home>/state.json) that the core reads itself; the
// simulator writes the whole file.
struct SimulatedSystemState {
    QVariantMap assertions = factoryAssertions();
    bool assertionQueryFails = false;
    bool preferencesSynchronizeFails = false;

    // A missing file gives the factory state. Throws PlatformError when the file is damaged.
    static SimulatedSystemState load(const QString &home);
    // The assertion counts of an idle Mac: no application holds anything.
    static QVariantMap factoryAssertions();

    static QString filePath(const QString &home);
    static constexpr QLatin1String assertionsKey{"assertions"};
    static constexpr QLatin1String assertionQueryFailsKey{"assertionQueryFails"};
    static constexpr QLatin1String preferencesSynchronizeFailsKey{"preferencesSynchronizeFails"};
};

// The current host's preferences as one JSON object per domain in <home>/preferences/<domain>.json.
// Values written with setValue() stay pending until synchronize() writes them; synchronize() also
// picks up what others wrote. Numbers come back as qint64 when whole, else double; text as QString.
class SimulatedHostPreferences final : public HostPreferences {
public:
    explicit SimulatedHostPreferences(QString home);

    [[nodiscard]] bool synchronize(const QString &domain) override;
    [[nodiscard]] std::optional<QVariant> copyValue(const QString &key,
                                                    const QString &domain) override;
    void setValue(const QString &key, const std::optional<QVariant> &value,
                  const QString &domain) override;
    // Appends the name as one line to <home>/notifications.log.
    void postNotification(const QString &name) override;

    [[nodiscard]] QString domainFilePath(const QString &domain) const;

private:
    using PendingChanges = QHash<QString, std::optional<QJsonValue>>;

    [[nodiscard]] bool synchronizeFails() const;
    const QJsonObject &cachedDomain(const QString &domain);

    QString m_home;
    QMutex m_mutex;
    QHash<QString, QJsonObject> m_cache;
    QHash<QString, PendingChanges> m_pending;
};

// The assertion counts kept in the simulator's state; none when the state says the query fails
// or the state file is damaged.
class SimulatedAssertionStatus final : public AssertionStatus {
public:
    explicit SimulatedAssertionStatus(QString home) : m_home(std::move(home)) {}
    [[nodiscard]] std::optional<QVariantMap> copyStatus() const override;

private:
    QString m_home;
};

} // namespace norvane
