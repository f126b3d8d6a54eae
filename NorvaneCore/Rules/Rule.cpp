#include "Rule.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"

#include <QJsonArray>
#include <QLocale>
#include <algorithm>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

struct KindName {
    Condition::Kind kind;
    QString name;
};
const QList<KindName> kKinds{{Condition::Kind::battery, u"battery"_s},
                             {Condition::Kind::adapter, u"adapter"_s},
                             {Condition::Kind::ups, u"ups"_s},
                             {Condition::Kind::batteryBelow, u"batteryBelow"_s},
                             {Condition::Kind::schedule, u"schedule"_s},
                             {Condition::Kind::application, u"application"_s},
                             {Condition::Kind::externalDisplay, u"externalDisplay"_s}};

QString kindName(Condition::Kind kind) {
    return std::find_if(kKinds.cbegin(), kKinds.cend(),
                        [&](const KindName &known) { return known.kind == kind; })
        ->name;
}

const QString kTimeFormat = u"HH:mm"_s;

QTime timeAt(const QJsonObject &object, const QString &key) {
    const QTime time = QTime::fromString(json::requireString(object, key), kTimeFormat);
    if (!time.isValid())
        throw PlatformError(
            u"The data couldn’t be read because the value of \"%1\" is not a time of day."_s.arg(
                key));
    return time;
}

// "Weekdays", "Weekends", "Every day", else the days' short names ("Mon, Wed").
QString daysText(const QList<int> &days) {
    if (days == QList{1, 2, 3, 4, 5})
        return L10n::text("Weekdays");
    if (days == QList{6, 7})
        return L10n::text("Weekends");
    if (days == QList{1, 2, 3, 4, 5, 6, 7})
        return L10n::text("Every day");
    QStringList names;
    for (const int day : days)
        names << QLocale().dayName(day, QLocale::ShortFormat);
    return names.join(u", "_s);
}

[[noreturn]] void refuse(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

} // namespace

QString Condition::description() const {
    switch (kind) {
    case Kind::battery:
        return L10n::text("On battery");
    case Kind::adapter:
        return L10n::text("On the power adapter");
    case Kind::ups:
        return L10n::text("On a UPS");
    case Kind::batteryBelow:
        return L10n::text({"Battery at or below {0} %", {QString::number(percent)}});
    case Kind::schedule:
        return L10n::text(
            {"{0} {1}–{2}",
             {daysText(days), start.toString(kTimeFormat), end.toString(kTimeFormat)}});
    case Kind::externalDisplay:
        return L10n::text("While an external display is connected");
    case Kind::application:
        break;
    }
    return L10n::text({"While {0} runs", {application}});
}

Rule Rule::validated() const {
    switch (when.kind) {
    case Condition::Kind::batteryBelow:
        if (when.percent < 1 || when.percent > 99)
            refuse(L10n::noop("The battery level must be a whole number from 1 to 99 %."));
        break;
    case Condition::Kind::schedule:
        if (when.days.isEmpty())
            refuse(L10n::noop("A schedule needs at least one day."));
        if (!std::is_sorted(when.days.cbegin(), when.days.cend()) ||
            std::adjacent_find(when.days.cbegin(), when.days.cend()) != when.days.cend() ||
            when.days.first() < 1 || when.days.last() > 7)
            refuse(L10n::noop("The days of a schedule are Monday (1) to Sunday (7), each once."));
        if (!when.start.isValid() || !when.end.isValid() || when.start.second() != 0 ||
            when.end.second() != 0 || when.start.msec() != 0 || when.end.msec() != 0)
            refuse(L10n::noop(
                "A schedule starts and ends at a time of day in whole minutes (HH:MM)."));
        if (when.start == when.end)
            refuse(L10n::noop("A schedule must end at another time than it starts."));
        break;
    case Condition::Kind::application:
        if (when.application.trimmed().isEmpty() || when.application.size() > 255 ||
            std::any_of(when.application.cbegin(), when.application.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; }))
            refuse(L10n::noop(
                "Name the application: its program name, desktop-file id or bundle identifier."));
        break;
    case Condition::Kind::battery:
    case Condition::Kind::adapter:
    case Condition::Kind::ups:
    case Condition::Kind::externalDisplay:
        break;
    }
    if (profileId.isEmpty())
        refuse(L10n::noop("Choose the profile the rule uses."));
    return *this;
}

QString Rule::sentence(const QString &profileTitle) const {
    return L10n::text({"{0}, use {1}", {when.description(), profileTitle}});
}

QJsonObject Rule::toJson() const {
    QJsonObject condition{{u"kind"_s, kindName(when.kind)}};
    switch (when.kind) {
    case Condition::Kind::batteryBelow:
        condition[u"percent"_s] = when.percent;
        break;
    case Condition::Kind::schedule: {
        QJsonArray days;
        for (const int day : when.days)
            days.append(day);
        condition[u"days"_s] = days;
        condition[u"start"_s] = when.start.toString(kTimeFormat);
        condition[u"end"_s] = when.end.toString(kTimeFormat);
        break;
    }
    case Condition::Kind::application:
        condition[u"application"_s] = when.application;
        break;
    case Condition::Kind::battery:
    case Condition::Kind::adapter:
    case Condition::Kind::ups:
    case Condition::Kind::externalDisplay:
        break;
    }
    return {{u"id"_s, id}, {u"when"_s, condition}, {u"use"_s, profileId}, {u"enabled"_s, enabled}};
}

Rule Rule::fromJson(const QJsonObject &object) {
    Rule rule;
    rule.id = json::requireString(object, u"id"_s);
    rule.profileId = json::requireString(object, u"use"_s);
    if (!object[u"enabled"_s].isBool())
        throw PlatformError(
            u"The data couldn’t be read because \"enabled\" is not true or false."_s);
    rule.enabled = object[u"enabled"_s].toBool();
    const QJsonObject condition = json::asObject(object[u"when"_s], u"when");
    const QString kind = json::requireString(condition, u"kind"_s);
    const auto known = std::find_if(kKinds.cbegin(), kKinds.cend(), [&](const KindName &candidate) {
        return candidate.name == kind;
    });
    if (known == kKinds.cend())
        throw PlatformError(
            u"The data couldn’t be read because \"%1\" is not a known condition."_s.arg(kind));
    rule.when.kind = known->kind;
    switch (rule.when.kind) {
    case Condition::Kind::batteryBelow:
        rule.when.percent =
            int(std::clamp<qint64>(json::requireInteger(condition, u"percent"_s), -1, 101));
        break;
    case Condition::Kind::schedule:
        for (const QJsonValue day : json::requireArray(condition, u"days"_s)) {
            if (!day.isDouble() || day.toInteger(-1) < 1 || day.toInteger(-1) > 7)
                throw PlatformError(
                    u"The data couldn’t be read because a day is not a number from 1 to 7."_s);
            rule.when.days << int(day.toInteger());
        }
        rule.when.start = timeAt(condition, u"start"_s);
        rule.when.end = timeAt(condition, u"end"_s);
        break;
    case Condition::Kind::application:
        rule.when.application = json::requireString(condition, u"application"_s);
        break;
    case Condition::Kind::battery:
    case Condition::Kind::adapter:
    case Condition::Kind::ups:
    case Condition::Kind::externalDisplay:
        break;
    }
    return rule;
}

} // namespace norvane
