#include "SimulatedMac.h"

#include "Configuration/ConfigurationError.h"
#include "DurableFile.h"
#include "JsonDecoding.h"
#include "VariantNumbers.h"

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

} // namespace

QString simulatorHome() {
    const QString explicitHome = qEnvironmentVariable("NORVANE_SIM_HOME");
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
        {QStringLiteral("BackgroundTask"), qint64(0)},
        {QStringLiteral("ExternalMedia"), qint64(0)},
        {QStringLiteral("PreventDiskIdle"), qint64(0)},
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
    state.assertionQueryFails = optionalFlag(object, assertionQueryFailsKey);
    state.preferencesSynchronizeFails = optionalFlag(object, preferencesSynchronizeFailsKey);
    return state;
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

} // namespace norvane
