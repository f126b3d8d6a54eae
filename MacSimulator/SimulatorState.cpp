#include "SimulatorState.h"

#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"
#include "Platform/VariantNumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <array>

namespace norvane::sim {

namespace {

constexpr int kFormatVersion = 1;
constexpr qint64 kLogLimit = 4LL * 1024 * 1024;
constexpr std::array kSources{Source::battery, Source::adapter, Source::ups};

// Names of enumeration cases in the state file, in case order.
const QStringList kSourceNames{QStringLiteral("battery"), QStringLiteral("adapter"),
                               QStringLiteral("ups")};
const QStringList kModelNames{QStringLiteral("appleSiliconLaptop"), QStringLiteral("intelLaptop"),
                              QStringLiteral("desktop")};
const QStringList kAuthorizationNames{QStringLiteral("allow"), QStringLiteral("cancel"),
                                      QStringLiteral("fail")};

[[noreturn]] void fail(const QString &description) {
    throw PlatformError(description);
}

template <typename Enum> QString nameOf(Enum value, const QStringList &names) {
    return names.at(int(value));
}

template <typename Enum>
Enum caseNamed(const QJsonObject &object, const QString &key, const QStringList &names) {
    const QString name = json::requireString(object, key);
    const qsizetype index = names.indexOf(name);
    if (index < 0)
        fail(QStringLiteral("The value of \"%1\" is not one of %2.")
                 .arg(key, names.join(QStringLiteral(", "))));
    return Enum(index);
}

bool requireBool(const QJsonObject &object, const QString &key) {
    const QJsonValue value = object.value(key);
    if (!value.isBool())
        fail(QStringLiteral("The value of \"%1\" is missing or not a boolean.").arg(key));
    return value.toBool();
}

QStringList requireStringList(const QJsonObject &object, const QString &key) {
    QStringList list;
    for (const auto &item : json::requireArray(object, key)) {
        if (!item.isString())
            fail(QStringLiteral("An entry of \"%1\" is not a string.").arg(key));
        list << item.toString();
    }
    return list;
}

QJsonArray toJson(const PowerSettings &settings) {
    QJsonArray entries;
    for (const auto &[name, value] : settings.entries)
        entries.append(QJsonArray{name, value});
    return entries;
}

PowerSettings powerSettingsFrom(const QJsonValue &value, const QString &context) {
    if (!value.isArray())
        fail(QStringLiteral("The settings of \"%1\" are not an array.").arg(context));
    PowerSettings settings;
    for (const auto &entry : value.toArray()) {
        const QJsonArray pair = entry.toArray();
        if (!entry.isArray() || pair.size() != 2 || !pair[0].isString() || !pair[1].isString())
            fail(QStringLiteral("A setting of \"%1\" is not a pair of strings.").arg(context));
        if (!printsFaithfully(pair[0].toString()) || !printsFaithfully(pair[1].toString()))
            fail(QStringLiteral("A setting of \"%1\" cannot be printed as one line.").arg(context));
        settings.entries.append({pair[0].toString(), pair[1].toString()});
    }
    return settings;
}

QJsonObject toJson(const AssertionHolder &holder) {
    return {{QStringLiteral("pid"), holder.pid},
            {QStringLiteral("process"), holder.process},
            {QStringLiteral("type"), holder.type},
            {QStringLiteral("name"), holder.name},
            {QStringLiteral("ageSeconds"), holder.ageSeconds},
            {QStringLiteral("details"), QJsonArray::fromStringList(holder.details)}};
}

AssertionHolder assertionHolderFrom(const QJsonValue &value) {
    const QJsonObject object = json::asObject(value, u"assertionHolders");
    AssertionHolder holder;
    holder.pid = json::requireInteger(object, QStringLiteral("pid"));
    holder.process = json::requireString(object, QStringLiteral("process"));
    holder.type = json::requireString(object, QStringLiteral("type"));
    holder.name = json::requireString(object, QStringLiteral("name"));
    holder.ageSeconds =
        int(json::optionalInteger(object, QStringLiteral("ageSeconds")).value_or(0));
    if (object.contains(QStringLiteral("details")))
        holder.details = requireStringList(object, QStringLiteral("details"));
    return holder;
}

QJsonObject toJson(const PrivilegedFailure &failure) {
    QJsonObject object{{QStringLiteral("message"), failure.message},
                       {QStringLiteral("times"), failure.times}};
    if (failure.source)
        object.insert(QStringLiteral("source"), nameOf(*failure.source, kSourceNames));
    return object;
}

PrivilegedFailure privilegedFailureFrom(const QJsonObject &object) {
    PrivilegedFailure failure;
    failure.message = json::requireString(object, QStringLiteral("message"));
    failure.times = int(json::requireInteger(object, QStringLiteral("times")));
    if (object.contains(QStringLiteral("source")))
        failure.source = caseNamed<Source>(object, QStringLiteral("source"), kSourceNames);
    return failure;
}

QJsonObject toJson(const SimulatorState &state) {
    QJsonObject sources;
    for (const Source source : kSources)
        if (const auto &settings = state.settings(source))
            sources.insert(nameOf(source, kSourceNames), toJson(*settings));
    QJsonObject assertions;
    for (auto it = state.assertions.cbegin(); it != state.assertions.cend(); ++it)
        assertions.insert(it.key(), it.value());

    QJsonArray holders;
    for (const AssertionHolder &holder : state.assertionHolders)
        holders.append(toJson(holder));

    QJsonObject object{
        {QStringLiteral("version"), kFormatVersion},
        {QStringLiteral("model"), nameOf(state.model, kModelNames)},
        {QStringLiteral("sleepDisabled"), state.sleepDisabled},
        {QStringLiteral("assertionHolders"), holders},
        {QStringLiteral("sources"), sources},
        {QStringLiteral("providing"), nameOf(state.providing, kSourceNames)},
        {SimulatedSystemState::batteryStatusKey, state.batteryStatus.toJson()},
        {SimulatedSystemState::upsStatusKey, state.upsStatus.toJson()},
        {QStringLiteral("lowPowerMode"), state.lowPowerMode},
        {QStringLiteral("sleepPreventers"), QJsonArray::fromStringList(state.sleepPreventers)},
        {SimulatedSystemState::assertionsKey, assertions},
        {QStringLiteral("authorization"), nameOf(state.authorization, kAuthorizationNames)},
        {QStringLiteral("authorizationFailureMessage"), state.authorizationFailureMessage},
        {QStringLiteral("failingQueries"), QJsonArray::fromStringList(state.failingQueries)},
        {QStringLiteral("policyLockedSettings"),
         QJsonArray::fromStringList(state.policyLockedSettings)},
        {SimulatedSystemState::preferencesSynchronizeFailsKey, state.preferencesSynchronizeFails},
        {SimulatedSystemState::assertionQueryFailsKey, state.assertionQueryFails},
        {SimulatedSystemState::runningApplicationsKey,
         QJsonArray::fromStringList(state.runningApplications)},
    };
    if (state.privilegedFailure)
        object.insert(QStringLiteral("privilegedFailure"), toJson(*state.privilegedFailure));
    return object;
}

SimulatorState stateFrom(const QJsonObject &object) {
    if (json::requireInteger(object, QStringLiteral("version")) != kFormatVersion)
        fail(QStringLiteral("The state was written by another version of the simulator."));
    SimulatorState state;
    const QJsonObject sources = json::asObject(object.value(QStringLiteral("sources")), u"sources");
    for (const Source source : kSources) {
        const QString name = nameOf(source, kSourceNames);
        state.settings(source) = sources.contains(name)
                                     ? std::optional(powerSettingsFrom(sources.value(name), name))
                                     : std::nullopt;
    }
    state.providing = caseNamed<Source>(object, QStringLiteral("providing"), kSourceNames);
    state.batteryStatus = BatteryStatus::fromJson(
        json::asObject(object.value(QStringLiteral("battery")), u"battery"));
    // Absent from states written before the UPS had a charge of its own.
    if (object.contains(QStringLiteral("upsStatus")))
        state.upsStatus = BatteryStatus::fromJson(
            json::asObject(object.value(QStringLiteral("upsStatus")), u"upsStatus"));
    // The model, SleepDisabled and the holders are absent from states written before them.
    state.model = object.contains(QStringLiteral("model"))
                      ? caseNamed<MachineModel>(object, QStringLiteral("model"), kModelNames)
                  : state.battery ? MachineModel::appleSiliconLaptop
                                  : MachineModel::desktop;
    if (object.contains(QStringLiteral("sleepDisabled")))
        state.sleepDisabled = requireBool(object, QStringLiteral("sleepDisabled"));
    if (object.contains(QStringLiteral("assertionHolders")))
        for (const auto &holder : json::requireArray(object, QStringLiteral("assertionHolders")))
            state.assertionHolders << assertionHolderFrom(holder);
    state.lowPowerMode = requireBool(object, QStringLiteral("lowPowerMode"));
    state.sleepPreventers = requireStringList(object, QStringLiteral("sleepPreventers"));
    const QJsonObject assertions =
        json::asObject(object.value(SimulatedSystemState::assertionsKey), u"assertions");
    for (auto it = assertions.begin(); it != assertions.end(); ++it)
        state.assertions.insert(it.key(), json::requireInteger(assertions, it.key()));
    state.authorization =
        caseNamed<Authorization>(object, QStringLiteral("authorization"), kAuthorizationNames);
    state.authorizationFailureMessage =
        json::requireString(object, QStringLiteral("authorizationFailureMessage"));
    state.failingQueries = requireStringList(object, QStringLiteral("failingQueries"));
    state.policyLockedSettings = requireStringList(object, QStringLiteral("policyLockedSettings"));
    if (object.contains(QStringLiteral("privilegedFailure")))
        state.privilegedFailure = privilegedFailureFrom(json::asObject(
            object.value(QStringLiteral("privilegedFailure")), u"privilegedFailure"));
    state.preferencesSynchronizeFails =
        requireBool(object, SimulatedSystemState::preferencesSynchronizeFailsKey);
    state.assertionQueryFails = requireBool(object, SimulatedSystemState::assertionQueryFailsKey);
    // Absent from states written before the simulated Mac ran applications.
    if (object.contains(SimulatedSystemState::runningApplicationsKey))
        state.runningApplications =
            requireStringList(object, SimulatedSystemState::runningApplicationsKey);
    return state;
}

PowerSettings laptopSettings(const QString &displaySleep, const QString &powerNap,
                             const QString &wakeOnNetwork) {
    return {{
        {QStringLiteral("Sleep On Power Button"), QStringLiteral("1")},
        {QStringLiteral("lowpowermode"), QStringLiteral("0")},
        {QStringLiteral("standby"), QStringLiteral("1")},
        {QStringLiteral("ttyskeepawake"), QStringLiteral("1")},
        {QStringLiteral("hibernatemode"), QStringLiteral("3")},
        {QStringLiteral("powernap"), powerNap},
        {QStringLiteral("hibernatefile"), QStringLiteral("/var/vm/sleepimage")},
        {QStringLiteral("displaysleep"), displaySleep},
        {QStringLiteral("womp"), wakeOnNetwork},
        {QStringLiteral("networkoversleep"), QStringLiteral("0")},
        {QStringLiteral("sleep"), QStringLiteral("1")},
        {QStringLiteral("tcpkeepalive"), QStringLiteral("1")},
        {QStringLiteral("disksleep"), QStringLiteral("10")},
    }};
}

QString filePath(const QString &home, const char *name) {
    return QDir(home).filePath(QLatin1String(name));
}

QList<QByteArray> lines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

} // namespace

QString flag(Source source) {
    static const QStringList flags{QStringLiteral("-b"), QStringLiteral("-c"),
                                   QStringLiteral("-u")};
    return flags.at(int(source));
}

QString powerName(Source source) {
    static const QStringList names{QStringLiteral("Battery Power"), QStringLiteral("AC Power"),
                                   QStringLiteral("UPS Power")};
    return names.at(int(source));
}

std::optional<Source> sourceForFlag(QStringView text) {
    for (const Source source : kSources)
        if (flag(source) == text)
            return source;
    return std::nullopt;
}

bool printsFaithfully(const QString &text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace() || text.endsWith(u':'))
        return false;
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return false;
    }
    // Lone surrogates would not survive the UTF-8 printout.
    return QString::fromUtf8(text.toUtf8()) == text;
}

std::optional<QString> PowerSettings::value(const QString &name) const {
    for (const auto &[key, value] : entries)
        if (key == name)
            return value;
    return std::nullopt;
}

std::optional<qint64> PowerSettings::number(const QString &name) const {
    const auto text = value(name);
    bool ok = false;
    const qint64 result = text ? text->toLongLong(&ok) : 0;
    return ok ? std::optional(result) : std::nullopt;
}

void PowerSettings::set(const QString &name, const QString &newValue) {
    for (auto &[key, value] : entries) {
        if (key == name) {
            value = newValue;
            return;
        }
    }
    entries.append({name, newValue});
}

PowerSettings SimulatorState::factorySettings(Source source) {
    switch (source) {
    case Source::battery: {
        PowerSettings settings =
            laptopSettings(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0"));
        settings.entries.insert(settings.entries.size() - 2,
                                {QStringLiteral("lessbright"), QStringLiteral("1")});
        return settings;
    }
    case Source::adapter:
        return laptopSettings(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("1"));
    case Source::ups: {
        PowerSettings settings =
            laptopSettings(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("1"));
        settings.entries.insert(1, {QStringLiteral("haltlevel"), QStringLiteral("0")});
        settings.entries.insert(2, {QStringLiteral("haltafter"), QStringLiteral("0")});
        settings.entries.insert(3, {QStringLiteral("haltremain"), QStringLiteral("0")});
        return settings;
    }
    }
    return {};
}

SimulatorState SimulatorState::laptop() {
    SimulatorState state;
    state.battery = factorySettings(Source::battery);
    state.adapter = factorySettings(Source::adapter);
    const QVariantMap assertions = SimulatedSystemState::factoryAssertions();
    for (auto it = assertions.cbegin(); it != assertions.cend(); ++it)
        state.assertions.insert(it.key(), integerValue(it.value()).value_or(0));
    return state;
}

SimulatorState SimulatorState::desktop() {
    SimulatorState state = laptop();
    state.model = MachineModel::desktop;
    state.battery.reset();
    // An iMac's adapter settings in the order pmset prints them: no Low Power Mode, and the
    // standby and restart settings of a machine that stays plugged in.
    state.adapter = PowerSettings{{
        {QStringLiteral("Sleep On Power Button"), QStringLiteral("1")},
        {QStringLiteral("standbydelayhigh"), QStringLiteral("86400")},
        {QStringLiteral("proximitywake"), QStringLiteral("1")},
        {QStringLiteral("standby"), QStringLiteral("1")},
        {QStringLiteral("standbydelaylow"), QStringLiteral("86400")},
        {QStringLiteral("ttyskeepawake"), QStringLiteral("1")},
        {QStringLiteral("hibernatemode"), QStringLiteral("3")},
        {QStringLiteral("powernap"), QStringLiteral("0")},
        {QStringLiteral("gpuswitch"), QStringLiteral("2")},
        {QStringLiteral("hibernatefile"), QStringLiteral("/var/vm/sleepimage")},
        {QStringLiteral("highstandbythreshold"), QStringLiteral("50")},
        {QStringLiteral("displaysleep"), QStringLiteral("10")},
        {QStringLiteral("womp"), QStringLiteral("1")},
        {QStringLiteral("networkoversleep"), QStringLiteral("0")},
        {QStringLiteral("sleep"), QStringLiteral("1")},
        {QStringLiteral("tcpkeepalive"), QStringLiteral("1")},
        {QStringLiteral("autorestart"), QStringLiteral("0")},
        {QStringLiteral("disksleep"), QStringLiteral("10")},
    }};
    return state;
}

SimulatorState SimulatorState::load(const QString &home) {
    QFile file(SimulatedSystemState::filePath(home));
    if (!file.exists())
        return laptop();
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Could not read “%1”: %2").arg(file.fileName(), file.errorString()));
    try {
        return stateFrom(json::parseObject(file.readAll()));
    } catch (const PlatformError &error) {
        fail(QStringLiteral("The simulated Mac’s state “%1” is damaged: %2")
                 .arg(file.fileName(), error.description()));
    }
}

void SimulatorState::save(const QString &home) const {
    createPrivateFolder(home);
    writeFileDurably(SimulatedSystemState::filePath(home), json::encodePretty(toJson(*this)));
}

std::optional<PowerSettings> &SimulatorState::settings(Source source) {
    switch (source) {
    case Source::battery:
        return battery;
    case Source::adapter:
        return adapter;
    case Source::ups:
        break;
    }
    return ups;
}

const std::optional<PowerSettings> &SimulatorState::settings(Source source) const {
    return const_cast<SimulatorState *>(this)->settings(source);
}

QList<Source> SimulatorState::presentSources() const {
    QList<Source> present;
    for (const Source source : kSources)
        if (settings(source))
            present << source;
    return present;
}

SimulatedPower SimulatorState::power() const {
    SimulatedPower power;
    power.providing = powerName(providing);
    power.battery = battery ? std::optional(batteryStatus) : std::nullopt;
    power.ups = ups ? std::optional(upsStatus) : std::nullopt;
    return power;
}

std::optional<QString> SimulatorState::lowPowerKey() const {
    switch (model) {
    case MachineModel::appleSiliconLaptop:
        return QStringLiteral("powermode");
    case MachineModel::intelLaptop:
        return QStringLiteral("lowpowermode");
    case MachineModel::desktop:
        break;
    }
    return std::nullopt;
}

namespace {

QStringList holdersOf(const QList<AssertionHolder> &holders, const QStringList &types,
                      QStringList names = {}) {
    for (const AssertionHolder &holder : holders)
        if (types.contains(holder.type) && !names.contains(holder.process))
            names << holder.process;
    return names;
}

} // namespace

QStringList SimulatorState::systemSleepPreventers() const {
    return holdersOf(
        assertionHolders,
        {QStringLiteral("PreventUserIdleSystemSleep"), QStringLiteral("PreventSystemSleep")},
        sleepPreventers);
}

QStringList SimulatorState::displaySleepPreventers() const {
    return holdersOf(assertionHolders, {QStringLiteral("PreventUserIdleDisplaySleep")});
}

QList<Invocation> invocations(const QString &home) {
    QList<Invocation> result;
    for (const QByteArray &line : lines(filePath(home, "invocations.log"))) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = json::parseObject(line);
        result << Invocation{json::requireString(object, QStringLiteral("tool")),
                             requireStringList(object, QStringLiteral("arguments")),
                             requireBool(object, QStringLiteral("privileged"))};
    }
    return result;
}

void recordInvocation(const QString &home, const Invocation &invocation) {
    createPrivateFolder(home);
    const QJsonObject record{
        {QStringLiteral("tool"), invocation.tool},
        {QStringLiteral("arguments"), QJsonArray::fromStringList(invocation.arguments)},
        {QStringLiteral("privileged"), invocation.privileged}};
    // A simulator that serves a running application for days keeps only the recent runs.
    const QString path = filePath(home, "invocations.log");
    if (QFileInfo(path).size() > kLogLimit) {
        QFile::remove(path + QStringLiteral(".1"));
        QFile::rename(path, path + QStringLiteral(".1"));
    }
    // One unbuffered write in append mode, so records of programs running at once never mix.
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        log.write(QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n') < 0)
        fail(QStringLiteral("Could not write “%1”: %2").arg(log.fileName(), log.errorString()));
}

QStringList notifications(const QString &home) {
    QStringList names;
    for (const QByteArray &line : lines(filePath(home, "notifications.log")))
        if (!line.isEmpty())
            names << QString::fromUtf8(line);
    return names;
}

bool runsAuthorized() {
    return qEnvironmentVariable(authorizedVariable) == QLatin1String("1");
}

} // namespace norvane::sim
