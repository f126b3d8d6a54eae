#include "SimulatedMac.h"

#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"
#include "Platform/VariantNumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QMutexLocker>
#include <QUrl>
#include <cmath>

namespace norvane {

namespace {

std::optional<QByteArray> readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QVariant toVariant(const QJsonValue &value) {
    if (value.isDouble()) {
        const double number = value.toDouble();
        // Whole numbers that fit keep their exact integer value; toInteger() gives it even
        // beyond 2^53.
        if (const auto whole = truncatedInteger(number); whole && std::trunc(number) == number)
            return QVariant::fromValue(value.toInteger(*whole));
        return number;
    }
    if (value.isString())
        return value.toString();
    return value.toVariant();
}

QVariantMap toVariantMap(const QJsonObject &object) {
    QVariantMap map;
    for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), toVariant(it.value()));
    return map;
}

bool optionalFlag(const QJsonObject &object, QLatin1String key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return false;
    if (!value.isBool())
        throw PlatformError(QStringLiteral("The value of \"%1\" is not a boolean.").arg(key));
    return value.toBool();
}

const QStringList kBatteryStateNames{QStringLiteral("charging"), QStringLiteral("discharging"),
                                     QStringLiteral("charged"), QStringLiteral("notCharging")};

// A source's description as IOKit gives it. pmset -g batt prints the same facts: the percentage,
// "charging", "charged", "AC attached; not charging" or "discharging", and the time estimate, -1
// while the Mac has none.
PowerSourceDescription describe(const SimulatedBatteryStatus &status, const QString &type,
                                const QString &name, qint64 id, bool providing) {
    using State = SimulatedBatteryState;
    const qint64 estimate = status.minutesRemaining.value_or(-1);
    return {
        {QStringLiteral("Type"), type},
        {QStringLiteral("Name"), name},
        {QStringLiteral("Power Source ID"), id},
        {QStringLiteral("Is Present"), true},
        {QStringLiteral("Power Source State"),
         providing ? QStringLiteral("Battery Power") : QStringLiteral("AC Power")},
        {QStringLiteral("Current Capacity"), qint64(status.percent)},
        {QStringLiteral("Max Capacity"), qint64(100)},
        {QStringLiteral("Is Charging"), status.state == State::charging},
        {QStringLiteral("Is Charged"), status.state == State::charged},
        {QStringLiteral("Time to Full Charge"), status.state == State::charging ? estimate : 0},
        {QStringLiteral("Time to Empty"), status.state == State::discharging ? estimate : 0},
    };
}

// The strings under `key`; none when the key is absent.
QStringList optionalStrings(const QJsonObject &object, QLatin1String key) {
    QStringList strings;
    for (const auto &item : object.contains(key) ? json::requireArray(object, key) : QJsonArray()) {
        if (!item.isString())
            throw PlatformError(QStringLiteral("An entry of \"%1\" is not a string.").arg(key));
        strings << item.toString();
    }
    return strings;
}

// The object under `key`, or none when the key is absent.
std::optional<QJsonObject> optionalObject(const QJsonObject &object, QLatin1String key) {
    if (!object.contains(key))
        return std::nullopt;
    return json::asObject(object.value(key), QString(key));
}

} // namespace

QJsonObject SimulatedBatteryStatus::toJson() const {
    QJsonObject object{{QStringLiteral("percent"), percent},
                       {QStringLiteral("state"), kBatteryStateNames.at(int(state))}};
    if (minutesRemaining)
        object.insert(QStringLiteral("minutesRemaining"), *minutesRemaining);
    return object;
}

SimulatedBatteryStatus SimulatedBatteryStatus::fromJson(const QJsonObject &object) {
    SimulatedBatteryStatus status;
    status.percent = int(json::requireInteger(object, QStringLiteral("percent")));
    const QString stateName = json::requireString(object, QStringLiteral("state"));
    const qsizetype index = kBatteryStateNames.indexOf(stateName);
    if (index < 0)
        throw PlatformError(QStringLiteral("The value of \"state\" is not one of %1.")
                                .arg(kBatteryStateNames.join(QStringLiteral(", "))));
    status.state = SimulatedBatteryState(index);
    const auto minutes = json::optionalInteger(object, QStringLiteral("minutesRemaining"));
    status.minutesRemaining = minutes ? std::optional(int(*minutes)) : std::nullopt;
    return status;
}

PowerSourceSnapshot SimulatedPower::snapshot() const {
    PowerSourceSnapshot snapshot;
    snapshot.providingType = providing;
    if (battery)
        snapshot.descriptions << describe(*battery, QStringLiteral("InternalBattery"),
                                          QStringLiteral("InternalBattery-0"), 4653155,
                                          providing == QLatin1String("Battery Power"));
    if (ups)
        snapshot.descriptions << describe(*ups, QStringLiteral("UPS"), QStringLiteral("UPS"),
                                          4653156, providing == QLatin1String("UPS Power"));
    return snapshot;
}

QString simulatorHome() {
    QString explicitHome = qEnvironmentVariable("NORVANE_SIM_HOME");
    if (!explicitHome.isEmpty())
        return explicitHome;
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!stateHome.isEmpty())
        return QDir(stateHome).filePath(QStringLiteral("norvane-sim"));
    return QDir::home().filePath(QStringLiteral(".local/state/norvane-sim"));
}

QString SimulatedSystemState::filePath(const QString &home) {
    return QDir(home).filePath(QStringLiteral("state.json"));
}

QVariantMap SimulatedSystemState::factoryAssertions() {
    return {
        {QStringLiteral("ApplePushServiceTask"), qint64(0)},
        {QStringLiteral("BackgroundTask"), qint64(0)},
        {QStringLiteral("ExternalMedia"), qint64(0)},
        {QStringLiteral("NetworkClientActive"), qint64(0)},
        {QStringLiteral("PreventSystemSleep"), qint64(0)},
        {QStringLiteral("PreventUserIdleDisplaySleep"), qint64(0)},
        {QStringLiteral("PreventUserIdleSystemSleep"), qint64(0)},
        {QStringLiteral("UserIsActive"), qint64(1)},
    };
}

SimulatedSystemState SimulatedSystemState::load(const QString &home) {
    const auto data = readFile(filePath(home));
    if (!data)
        return {};
    const QJsonObject object = json::parseObject(*data);
    SimulatedSystemState state;
    if (object.contains(assertionsKey)) {
        const QJsonValue assertions = object.value(assertionsKey);
        if (!assertions.isObject())
            throw PlatformError(
                QStringLiteral("The value of \"%1\" is not an object.").arg(assertionsKey));
        state.assertions = toVariantMap(assertions.toObject());
    }
    // A process that holds an assertion makes its type held, whatever the counts say.
    if (object.contains(assertionHoldersKey)) {
        const QJsonValue holders = object.value(assertionHoldersKey);
        if (!holders.isArray())
            throw PlatformError(
                QStringLiteral("The value of \"%1\" is not an array.").arg(assertionHoldersKey));
        for (const auto &holder : holders.toArray()) {
            const QString type = json::requireString(
                json::asObject(holder, QString(assertionHoldersKey)), QStringLiteral("type"));
            if (integerValue(state.assertions.value(type)).value_or(0) == 0)
                state.assertions.insert(type, qint64(1));
        }
    }
    state.assertionQueryFails = optionalFlag(object, assertionQueryFailsKey);
    state.preferencesSynchronizeFails = optionalFlag(object, preferencesSynchronizeFailsKey);

    // Missing parts keep the factory laptop's power sources.
    if (const auto sources = optionalObject(object, sourcesKey)) {
        if (!sources->contains(QLatin1String("battery")))
            state.power.battery.reset();
        if (sources->contains(QLatin1String("ups")))
            state.power.ups = SimulatedBatteryStatus{100, SimulatedBatteryState::charged, {}};
    }
    if (object.contains(providingKey)) {
        const QString name = json::requireString(object, providingKey);
        if (!sourceNames().contains(name))
            throw PlatformError(QStringLiteral("The value of \"%1\" is not one of %2.")
                                    .arg(providingKey, sourceNames().join(QStringLiteral(", "))));
        state.power.providing = providingType(name);
    }
    if (const auto battery = optionalObject(object, batteryStatusKey);
        battery && state.power.battery)
        state.power.battery = SimulatedBatteryStatus::fromJson(*battery);
    if (const auto ups = optionalObject(object, upsStatusKey); ups && state.power.ups)
        state.power.ups = SimulatedBatteryStatus::fromJson(*ups);
    state.runningApplications = optionalStrings(object, runningApplicationsKey);
    return state;
}

const QStringList &SimulatedSystemState::sourceNames() {
    static const QStringList names{QStringLiteral("battery"), QStringLiteral("adapter"),
                                   QStringLiteral("ups")};
    return names;
}

QString SimulatedSystemState::providingType(const QString &name) {
    static const QStringList types{QStringLiteral("Battery Power"), QStringLiteral("AC Power"),
                                   QStringLiteral("UPS Power")};
    return types.value(sourceNames().indexOf(name));
}

SimulatedHostPreferences::SimulatedHostPreferences(QString home) : m_home(std::move(home)) {}

QString SimulatedHostPreferences::domainFilePath(const QString &domain) const {
    // Percent-encoding keeps a domain from naming a path outside the preferences folder.
    const QString fileName =
        QString::fromLatin1(QUrl::toPercentEncoding(domain)) + QStringLiteral(".json");
    return QDir(m_home).filePath(QStringLiteral("preferences/") + fileName);
}

bool SimulatedHostPreferences::synchronizeFails() const {
    try {
        return SimulatedSystemState::load(m_home).preferencesSynchronizeFails;
    } catch (const PlatformError &) {
        return true; // a damaged simulator cannot promise anything
    }
}

bool SimulatedHostPreferences::synchronize(const QString &domain) {
    QMutexLocker lock(&m_mutex);
    if (synchronizeFails())
        return false;
    const QString path = domainFilePath(domain);
    QJsonObject stored;
    try {
        if (const auto data = readFile(path))
            stored = json::parseObject(*data);
        const PendingChanges pending = m_pending.value(domain);
        if (!pending.isEmpty()) {
            for (auto it = pending.begin(); it != pending.end(); ++it) {
                if (it.value())
                    stored.insert(it.key(), *it.value());
                else
                    stored.remove(it.key());
            }
            createPrivateFolder(QFileInfo(path).absolutePath());
            writeFileDurably(path, json::encodePretty(stored));
        }
    } catch (const PlatformError &) {
        return false; // the changes stay pending
    }
    m_pending.remove(domain);
    m_cache.insert(domain, stored);
    return true;
}

const QJsonObject &SimulatedHostPreferences::cachedDomain(const QString &domain) {
    auto cached = m_cache.find(domain);
    if (cached == m_cache.end()) {
        QJsonObject stored;
        try {
            if (const auto data = readFile(domainFilePath(domain)))
                stored = json::parseObject(*data);
        } catch (const PlatformError &) {
            // An unreadable domain reads as empty, as the real store does.
        }
        cached = m_cache.insert(domain, stored);
    }
    return *cached;
}

std::optional<QVariant> SimulatedHostPreferences::copyValue(const QString &key,
                                                            const QString &domain) {
    QMutexLocker lock(&m_mutex);
    QJsonValue value = cachedDomain(domain).value(key);
    // A pending change shows through before it is written, as with the system's preferences.
    if (const auto pending = m_pending.constFind(domain); pending != m_pending.cend()) {
        if (const auto change = pending->constFind(key); change != pending->cend())
            value = change->value_or(QJsonValue(QJsonValue::Undefined));
    }
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return toVariant(value);
}

void SimulatedHostPreferences::setValue(const QString &key, const std::optional<QVariant> &value,
                                        const QString &domain) {
    QMutexLocker lock(&m_mutex);
    m_pending[domain].insert(key,
                             value ? std::optional(QJsonValue::fromVariant(*value)) : std::nullopt);
}

void SimulatedHostPreferences::postNotification(const QString &name) {
    QMutexLocker lock(&m_mutex);
    try {
        createPrivateFolder(m_home);
    } catch (const PlatformError &) {
        return; // posting never fails on a Mac either
    }
    QFile log(QDir(m_home).filePath(QStringLiteral("notifications.log")));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(name.toUtf8() + '\n');
}

std::optional<QVariantMap> SimulatedAssertionStatus::copyStatus() const {
    try {
        const SimulatedSystemState state = SimulatedSystemState::load(m_home);
        if (state.assertionQueryFails)
            return std::nullopt;
        return state.assertions;
    } catch (const PlatformError &) {
        return std::nullopt;
    }
}

std::optional<PowerSourceSnapshot> SimulatedPowerSources::snapshot() const {
    try {
        return SimulatedSystemState::load(m_home).power.snapshot();
    } catch (const PlatformError &) {
        return std::nullopt;
    }
}

QStringList SimulatedRunningApplications::bundleIdentifiers() const {
    try {
        return SimulatedSystemState::load(m_home).runningApplications;
    } catch (const PlatformError &) {
        return {};
    }
}

} // namespace norvane
