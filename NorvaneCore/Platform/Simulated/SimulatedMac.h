#pragma once

#include "Platform/HostPreferences.h"
#include "Platform/PowerSources.h"
#include "Platform/RunningApplications.h"

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The core's side of the simulated Mac that stands in for the real one on other systems: the
// simulator's folder, the current host's preferences (a JSON file per domain), the assertion
// status, the power sources and the running applications. The stand-in pmset and osascript programs
// (MacSimulator/) share the folder.
namespace norvane {

// $NORVANE_SIM_HOME when set and not empty, else $XDG_STATE_HOME/norvane-sim, else
// ~/.local/state/norvane-sim.
[[nodiscard]] QString simulatorHome();

// The charge of the simulated Mac's battery or UPS, as pmset -g batt tells it.
enum class SimulatedBatteryState { charging, discharging, charged, notCharging };

struct SimulatedBatteryStatus {
    int percent = 85;
    SimulatedBatteryState state = SimulatedBatteryState::charging;
    // Minutes until full while charging, until empty while discharging; none: "(no estimate)".
    std::optional<int> minutesRemaining = 83;

    friend bool operator==(const SimulatedBatteryStatus &,
                           const SimulatedBatteryStatus &) = default;

    [[nodiscard]] QJsonObject toJson() const;
    // Throws PlatformError on a missing key or a value of the wrong type.
    static SimulatedBatteryStatus fromJson(const QJsonObject &object);
};

// The power sources of the simulated Mac: the one that powers it now and the battery and UPS it
// has. Both the power-source seam and the stand-in pmset -g batt describe the Mac from this, so
// they always agree.
struct SimulatedPower {
    QString providing = QStringLiteral("AC Power"); // "AC Power", "Battery Power" or "UPS Power"
    std::optional<SimulatedBatteryStatus> battery = SimulatedBatteryStatus{};
    std::optional<SimulatedBatteryStatus> ups;

    // The descriptions IOKit's power-source interface gives for these sources (internal battery
    // first, then the UPS), with the providing type.
    [[nodiscard]] PowerSourceSnapshot snapshot() const;
};

// The parts of the simulator's state file (<home>/state.json) that the core reads itself; the
// simulator writes the whole file.
struct SimulatedSystemState {
    QVariantMap assertions = factoryAssertions();
    bool assertionQueryFails = false;
    bool preferencesSynchronizeFails = false;
    SimulatedPower power;
    QStringList runningApplications; // bundle identifiers

    // A missing file gives the factory state. Throws PlatformError when the file is damaged.
    static SimulatedSystemState load(const QString &home);
    // The assertion counts of an idle Mac: no application holds anything.
    static QVariantMap factoryAssertions();

    static QString filePath(const QString &home);
    static constexpr QLatin1String assertionsKey{"assertions"};
    static constexpr QLatin1String assertionHoldersKey{"assertionHolders"};
    static constexpr QLatin1String assertionQueryFailsKey{"assertionQueryFails"};
    static constexpr QLatin1String preferencesSynchronizeFailsKey{"preferencesSynchronizeFails"};
    static constexpr QLatin1String sourcesKey{"sources"};
    static constexpr QLatin1String providingKey{"providing"};
    static constexpr QLatin1String batteryStatusKey{"battery"};
    static constexpr QLatin1String upsStatusKey{"upsStatus"};
    static constexpr QLatin1String runningApplicationsKey{"runningApplications"};
    // The names of the sources in "sources" and "providing", and their pmset names.
    static const QStringList &sourceNames();           // "battery", "adapter", "ups"
    static QString providingType(const QString &name); // "Battery Power", "AC Power", "UPS Power"
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

// The power sources of the simulator's state; none when the state file is damaged.
class SimulatedPowerSources final : public PowerSources {
public:
    explicit SimulatedPowerSources(QString home) : m_home(std::move(home)) {}
    [[nodiscard]] std::optional<PowerSourceSnapshot> snapshot() const override;

private:
    QString m_home;
};

// The applications the simulator's state lists as running; none when the state file is damaged.
class SimulatedRunningApplications final : public RunningApplications {
public:
    explicit SimulatedRunningApplications(QString home) : m_home(std::move(home)) {}
    [[nodiscard]] QStringList bundleIdentifiers() const override;

private:
    QString m_home;
};

} // namespace norvane
