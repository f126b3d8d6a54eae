#include "Policy.h"

#include "AdministratorFolder.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"

#include <QJsonValue>
#include <algorithm>
#include <cmath>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;
using Setting = Policy::Setting;
using Source = Policy::Source;

constexpr qint64 kMaxMinutes = 1440;
constexpr qint64 kSecondsPerMinute = 60;

const QList<std::pair<QString, Setting>> &settingKeys() {
    static const QList<std::pair<QString, Setting>> keys{
        {u"displayMinutes"_s, Setting::display},
        {u"sleepMinutes"_s, Setting::sleep},
        {u"screenSaverMinutes"_s, Setting::screenSaver}};
    return keys;
}

const QList<std::pair<QString, Source>> &sourceKeys() {
    static const QList<std::pair<QString, Source>> keys{
        {u"battery"_s, Source::battery}, {u"adapter"_s, Source::adapter}, {u"ups"_s, Source::ups}};
    return keys;
}

template <typename T> QStringList keysOf(const QList<std::pair<QString, T>> &pairs) {
    QStringList keys;
    for (const auto &pair : pairs)
        keys << pair.first;
    return keys;
}

void refuseUnknownKeys(const QJsonObject &object, const QStringList &known, const QString &path) {
    for (const QString &key : object.keys())
        if (!known.contains(key))
            throw ConfigurationError::message(
                L10n::text({"The policy has an unknown key “{0}”.", {path + key}}));
}

QJsonObject decodeObject(const QJsonValue &value, const QString &name) {
    if (!value.isObject())
        throw ConfigurationError::message(
            L10n::text({"“{0}” in the policy must be an object.", {name}}));
    return value.toObject();
}

qint64 decodeMinutes(const QJsonValue &value, const QString &name) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 1 || number > kMaxMinutes || number != std::floor(number))
        throw ConfigurationError::message(L10n::text(
            {"“{0}” in the policy must be a whole number of minutes from 1 to 1440.", {name}}));
    return static_cast<qint64>(number);
}

bool decodeBool(const QJsonObject &object, const QString &key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return true;
    if (!value.isBool())
        throw ConfigurationError::message(
            L10n::text({"“{0}” in the policy must be true or false.", {key}}));
    return value.toBool();
}

std::optional<QString> decodeStartProfile(const QJsonObject &object) {
    const QJsonValue value = object.value(u"startProfile"_s);
    if (value.isUndefined())
        return std::nullopt;
    if (!value.isString() || value.toString().isEmpty())
        throw ConfigurationError::message(
            L10n::text("“startProfile” in the policy must be a profile's identifier."));
    return value.toString();
}

QString settingName(Setting setting) {
    switch (setting) {
    case Setting::display:
        return L10n::text("Turn Display Off");
    case Setting::sleep:
        return L10n::text("System Sleep");
    case Setting::screenSaver:
        break;
    }
    return L10n::text("Screen Saver");
}

QString sourceName(Source source) {
    switch (source) {
    case Source::battery:
        return L10n::text("On battery");
    case Source::adapter:
        return L10n::text("On the power adapter");
    case Source::ups:
        break;
    }
    return L10n::text("On a UPS");
}

QString secondsText(qint64 seconds) {
    if (seconds == 0)
        return L10n::text("Never");
    const qint64 minutes = (seconds + kSecondsPerMinute - 1) / kSecondsPerMinute;
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

} // namespace

QString Policy::Limit::text() const {
    QString time = secondsText(minutes * kSecondsPerMinute);
    if (!source)
        return time;
    return L10n::text({"{0} ({1})", {time, sourceName(*source)}});
}

QString Policy::Excess::refusal(const QString &profileTitle) const {
    return L10n::text(
        {"A management policy limits “{0}” to {1}, so {2} cannot be applied. Nothing was changed.",
         {settingName(setting), limit.text(), profileTitle}});
}

QString Policy::Excess::liveDescription() const {
    return L10n::text({"“{0}” is {1} now; the management policy allows at most {2}.",
                       {settingName(setting), secondsText(seconds), limit.text()}});
}

QString Policy::Excess::reason() const {
    return L10n::text(
        {"Your organisation limits “{0}” to {1}, so this profile cannot be applied until its time is shorter.",
         {settingName(setting), limit.text()}});
}

QString Policy::Excess::editRefusal() const {
    return L10n::text({"Your organisation limits “{0}” to {1}. Nothing was changed.",
                       {settingName(setting), limit.text()}});
}

QString Policy::key(Source source) {
    const auto &keys = sourceKeys();
    return std::find_if(keys.cbegin(), keys.cend(),
                        [source](const auto &entry) { return entry.second == source; })
        ->first;
}

Policy Policy::fromJson(const QByteArray &data) {
    const QJsonObject object = json::parseObject(data);
    const QJsonValue version = object.value(u"version"_s);
    if (!version.isUndefined() && version.toDouble(-1) != kVersion)
        throw ConfigurationError::message(L10n::text("The policy file version is unsupported."));
    refuseUnknownKeys(object,
                      {u"version"_s, u"limits"_s, u"allowCustomProfiles"_s, u"allowRules"_s,
                       u"allowRestore"_s, u"startProfile"_s},
                      {});
    Policy policy;
    const QJsonValue limitsValue = object.value(u"limits"_s);
    const QJsonObject limits =
        limitsValue.isUndefined() ? QJsonObject() : decodeObject(limitsValue, u"limits"_s);
    refuseUnknownKeys(limits, keysOf(settingKeys()) + keysOf(sourceKeys()), u"limits."_s);
    const auto decodeLimits = [](const QJsonObject &entry, const QString &path) {
        Limits decoded;
        for (const auto &[key, setting] : settingKeys())
            if (entry.contains(key))
                decoded.insert(setting, decodeMinutes(entry.value(key), path + key));
        return decoded;
    };
    policy.m_general = decodeLimits(limits, u"limits."_s);
    for (const auto &[key, source] : sourceKeys()) {
        if (!limits.contains(key))
            continue;
        const QString path = u"limits."_s + key;
        const QJsonObject entry = decodeObject(limits.value(key), path);
        refuseUnknownKeys(entry, keysOf(settingKeys()), path + u'.');
        policy.m_bySource.insert(source, decodeLimits(entry, path + u'.'));
    }
    policy.allowCustomProfiles = decodeBool(object, u"allowCustomProfiles"_s);
    policy.allowRules = decodeBool(object, u"allowRules"_s);
    policy.allowRestore = decodeBool(object, u"allowRestore"_s);
    policy.startProfile = decodeStartProfile(object);
    return policy;
}

QJsonObject Policy::toJson() const {
    const auto encodeLimits = [](const Limits &limits) {
        QJsonObject encoded;
        for (const auto &[key, setting] : settingKeys())
            if (limits.contains(setting))
                encoded.insert(key, limits.value(setting));
        return encoded;
    };
    QJsonObject limits = encodeLimits(m_general);
    for (const auto &[key, source] : sourceKeys())
        if (m_bySource.contains(source))
            limits.insert(key, encodeLimits(m_bySource.value(source)));
    QJsonObject object{{u"version"_s, kVersion},
                       {u"limits"_s, limits},
                       {u"allowCustomProfiles"_s, allowCustomProfiles},
                       {u"allowRules"_s, allowRules},
                       {u"allowRestore"_s, allowRestore}};
    object.insert(u"startProfile"_s, startProfile ? QJsonValue(*startProfile) : QJsonValue());
    return object;
}

std::optional<Policy::Limit> Policy::limit(Setting setting) const {
    std::optional<Limit> narrowest;
    const auto consider = [&](const Limits &limits, std::optional<Source> source) {
        const auto found = limits.constFind(setting);
        if (found != limits.cend() && (!narrowest || *found < narrowest->minutes))
            narrowest = Limit{*found, source};
    };
    consider(m_general, std::nullopt);
    for (auto entry = m_bySource.cbegin(); entry != m_bySource.cend(); ++entry)
        consider(entry.value(), entry.key());
    return narrowest;
}

std::optional<Policy::Excess> Policy::excess(Setting setting, std::optional<qint64> seconds) const {
    const std::optional<Limit> allowed = limit(setting);
    if (!seconds || !allowed)
        return std::nullopt;
    if (*seconds != 0 && *seconds <= allowed->minutes * kSecondsPerMinute)
        return std::nullopt;
    return Excess{setting, *seconds, *allowed};
}

QList<Policy::Excess> Policy::excesses(const Profile &profile) const {
    QList<Excess> found;
    for (const std::optional<Excess> &over :
         {excess(Setting::display, profile.displayMinutes * kSecondsPerMinute),
          excess(Setting::sleep, profile.sleepMinutes * kSecondsPerMinute),
          excess(Setting::screenSaver, profile.screenSaverSeconds)})
        if (over)
            found << *over;
    return found;
}

QList<Policy::Excess> Policy::excesses(const SystemSettings &live) const {
    const auto inSeconds = [](std::optional<qint64> minutes) -> std::optional<qint64> {
        if (!minutes)
            return std::nullopt;
        return *minutes * kSecondsPerMinute;
    };
    // SleepDisabled keeps the Mac awake whatever its sleep time says: that is never.
    const std::optional<qint64> sleep =
        live.sleepDisabled.value_or(false) ? 0 : inSeconds(live.sleepMinutes);
    QList<Excess> found;
    for (const std::optional<Excess> &over :
         {excess(Setting::display, inSeconds(live.displayMinutes)), excess(Setting::sleep, sleep),
          excess(Setting::screenSaver, live.screenSaverSeconds)})
        if (over)
            found << *over;
    return found;
}

std::optional<QString> Policy::violation(const Profile &profile) const {
    const QList<Excess> over = excesses(profile);
    if (over.isEmpty())
        return std::nullopt;
    return over.first().refusal(profile.localizedTitle());
}

std::optional<QString> Policy::restoreRefusal() const {
    if (allowRestore)
        return std::nullopt;
    return L10n::text(
        "A management policy does not allow restoring the original settings. Nothing was changed.");
}

Policy Policy::inForce() {
    try {
        if (const std::optional<QByteArray> data =
                AdministratorFolder().read(QStringLiteral("policy.json")))
            return fromJson(*data);
    } catch (const std::exception &) {
        // Refused or damaged: ignored here; ManagedSettings names the file and the reason.
    }
    return {};
}

} // namespace norvane
