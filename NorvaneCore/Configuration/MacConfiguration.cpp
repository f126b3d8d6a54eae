#include "MacConfiguration.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"
#include "Platform/PmsetValues.h"
#include "Platform/ToolRunner.h"

#include <QHash>
#include <QJsonArray>
#include <QSet>

namespace norvane {

namespace {

constexpr qint64 kMaxMinutes = 1440;
constexpr qint64 kMaxScreenSaverSeconds = 86400;

const QStringList &sourceFlags() {
    static const QStringList flags{QStringLiteral("-b"), QStringLiteral("-c"),
                                   QStringLiteral("-u")};
    return flags;
}

std::optional<QString> flagForHeader(QStringView header) {
    if (header == u"Battery Power:")
        return QStringLiteral("-b");
    if (header == u"AC Power:")
        return QStringLiteral("-c");
    if (header == u"UPS Power:")
        return QStringLiteral("-u");
    return std::nullopt;
}

bool isLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Blanks, tabs and the other space separators; line breaks are not part of a line anyway.
bool isHorizontalSpace(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QStringView trimmedHorizontally(QStringView line) {
    while (!line.isEmpty() && isHorizontalSpace(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isHorizontalSpace(line.back()))
        line.chop(1);
    return line;
}

// Every line break character separates lines on its own, so "\r\n" yields an empty line.
QList<QStringView> splitLines(QStringView text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLineBreak(text[i])) {
            lines << text.sliced(start, i - start);
            start = i + 1;
        }
    }
    lines << text.sliced(start);
    return lines;
}

[[noreturn]] void fail(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

// Both checks run before any part of a command is built.
void checkSources(const QList<PowerSourceConfiguration> &sources) {
    QSet<QString> flags;
    for (const PowerSourceConfiguration &source : sources)
        flags.insert(source.flag);
    if (sources.isEmpty() || flags.size() < sources.size())
        fail(L10n::noop("The power settings are invalid."));
    const auto inRange = [](qint64 minutes) { return minutes >= 0 && minutes <= kMaxMinutes; };
    for (const PowerSourceConfiguration &source : sources)
        if (!sourceFlags().contains(source.flag) || !inRange(source.display) ||
            !inRange(source.sleep))
            fail(L10n::noop("Settings are outside the supported range. No command was run."));
}

QString minutesText(qint64 minutes) {
    return minutes == 0 ? L10n::text("Never") : L10n::text({"{0} min", {QString::number(minutes)}});
}

} // namespace

QJsonObject PowerSourceConfiguration::toJson() const {
    return {{QStringLiteral("flag"), flag},
            {QStringLiteral("display"), display},
            {QStringLiteral("sleep"), sleep}};
}

PowerSourceConfiguration PowerSourceConfiguration::fromJson(const QJsonObject &object) {
    return {json::requireString(object, QStringLiteral("flag")),
            json::requireInteger(object, QStringLiteral("display")),
            json::requireInteger(object, QStringLiteral("sleep"))};
}

MacConfiguration MacConfiguration::applying(const Profile &profile) const {
    MacConfiguration target;
    for (const PowerSourceConfiguration &source : sources)
        target.sources << PowerSourceConfiguration{source.flag, profile.displayMinutes,
                                                   profile.sleepMinutes};
    target.screenSaverSeconds = profile.screenSaverSeconds;
    return target;
}

PowerSourceConfiguration MacConfiguration::factorySettings(const QString &flag) {
    return {flag, flag == u"-b" ? 2 : 10, 1};
}

QString MacConfiguration::privilegedCommand() const {
    checkSources(sources);
    QStringList parts;
    for (const PowerSourceConfiguration &source : sources)
        parts << QStringLiteral("%1 %2 displaysleep %3 sleep %4")
                     .arg(ToolPaths::macPmsetPath(), source.flag, QString::number(source.display),
                          QString::number(source.sleep));
    return parts.join(QStringLiteral(" && "));
}

void MacConfiguration::validate() const {
    checkSources(sources);
    if (screenSaverSeconds &&
        (*screenSaverSeconds < 0 || *screenSaverSeconds > kMaxScreenSaverSeconds))
        fail(L10n::noop("The screen saver timeout is outside the supported range."));
}

QString MacConfiguration::sourceName(const QString &flag) {
    if (flag == QLatin1String("-b"))
        return L10n::text("Battery");
    if (flag == QLatin1String("-c"))
        return L10n::text("Power adapter");
    if (flag == QLatin1String("-u"))
        return L10n::text("UPS power");
    return flag;
}

QString MacConfiguration::description() const {
    QStringList parts;
    for (const PowerSourceConfiguration &source : sources)
        parts << L10n::text(
            {"{0}: display {1}, sleep {2}",
             {sourceName(source.flag), minutesText(source.display), minutesText(source.sleep)}});
    if (screenSaverSeconds)
        parts << L10n::text({"screen saver {0}", {minutesText(*screenSaverSeconds / 60)}});
    return parts.join(QStringLiteral("; "));
}

QList<PowerSourceConfiguration> MacConfiguration::parsePowerSources(const QString &output) {
    QHash<QString, QHash<QString, qint64>> sections;
    std::optional<QString> current;
    for (const QStringView line : splitLines(output)) {
        const QStringView trimmed = trimmedHorizontally(line);
        if (trimmed.endsWith(u':')) {
            // A known header starts its section afresh; any other header ends the current one.
            current = flagForHeader(trimmed);
            if (current)
                sections[*current].clear();
            continue;
        }
        if (!current)
            continue;
        const auto values = pmsetValues(line.toString());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            sections[*current].insert(it.key(), it.value());
    }

    QList<PowerSourceConfiguration> result;
    for (const QString &flag : sourceFlags()) {
        const auto section = sections.constFind(flag);
        if (section == sections.cend())
            continue;
        const auto display = section->constFind(QStringLiteral("displaysleep"));
        const auto sleep = section->constFind(QStringLiteral("sleep"));
        if (display == section->cend() || sleep == section->cend() || *display < 0 || *sleep < 0)
            fail(L10n::noop("Could not read all power settings. No changes were made."));
        result << PowerSourceConfiguration{flag, *display, *sleep};
    }
    if (result.isEmpty())
        fail(L10n::noop("No usable system power settings were found."));
    return result;
}

QJsonObject MacConfiguration::toJson() const {
    QJsonArray array;
    for (const PowerSourceConfiguration &source : sources)
        array.append(source.toJson());
    QJsonObject object{{QStringLiteral("sources"), array}};
    if (screenSaverSeconds)
        object.insert(QStringLiteral("screenSaverSeconds"), *screenSaverSeconds);
    if (!native.isEmpty())
        object.insert(QStringLiteral("native"), native);
    return object;
}

MacConfiguration MacConfiguration::fromJson(const QJsonObject &object) {
    MacConfiguration configuration;
    for (const auto &entry : json::requireArray(object, QStringLiteral("sources")))
        configuration.sources << PowerSourceConfiguration::fromJson(
            json::asObject(entry, u"sources"));
    configuration.screenSaverSeconds =
        json::optionalInteger(object, QStringLiteral("screenSaverSeconds"));
    if (const QJsonValue native = object.value(QStringLiteral("native")); !native.isUndefined())
        configuration.native = json::asObject(native, u"native");
    return configuration;
}

} // namespace norvane
