#include "ConditionSyntax.h"

#include "Localization/L10n.h"
#include "UsageError.h"

#include <QRegularExpression>
#include <algorithm>

namespace norvane::ConditionSyntax {

namespace {

using namespace Qt::StringLiterals;

struct Form {
    QString name;
    Condition::Kind kind;
    qsizetype values; // how many words follow the name
    QString syntax;
};

const QList<Form> &knownForms() {
    static const QList<Form> list{
        {u"battery"_s, Condition::Kind::battery, 0, u"battery"_s},
        {u"adapter"_s, Condition::Kind::adapter, 0, u"adapter"_s},
        {u"ups"_s, Condition::Kind::ups, 0, u"ups"_s},
        {u"battery-below"_s, Condition::Kind::batteryBelow, 1, u"battery-below N"_s},
        {u"schedule"_s, Condition::Kind::schedule, 2, u"schedule DAYS HH:MM-HH:MM"_s},
        {u"app"_s, Condition::Kind::application, 1, u"app NAME"_s},
        {u"external-display"_s, Condition::Kind::externalDisplay, 0, u"external-display"_s},
    };
    return list;
}

// 1 (Monday) to 7, or 0 for a word that names no day.
int dayNumber(const QString &word) {
    static const QStringList shortNames{u"mon"_s, u"tue"_s, u"wed"_s, u"thu"_s,
                                        u"fri"_s, u"sat"_s, u"sun"_s};
    static const QStringList fullNames{u"monday"_s, u"tuesday"_s,  u"wednesday"_s, u"thursday"_s,
                                       u"friday"_s, u"saturday"_s, u"sunday"_s};
    const auto index = std::max(shortNames.indexOf(word), fullNames.indexOf(word));
    return int(index) + 1;
}

[[noreturn]] void notADay(const QString &item) {
    UsageError::raise(L10n::text(
        {"\"{0}\" is not a day. Write days as mon, tue, wed, thu, fri, sat or sun, separated by commas, with ranges such as mon-fri, or as weekdays, weekends or daily.",
         {item}}));
}

// The days a range names, going forward through the week: fri-mon is Friday to Monday.
QList<int> range(const QString &item) {
    const QStringList ends = item.split(u'-');
    const int first = ends.size() == 2 ? dayNumber(ends[0].trimmed()) : 0;
    const int last = ends.size() == 2 ? dayNumber(ends[1].trimmed()) : 0;
    if (first == 0 || last == 0)
        notADay(item);
    QList<int> days{first};
    for (int day = first; day != last;) {
        day = day % 7 + 1;
        days << day;
    }
    return days;
}

QList<int> daysOf(const QString &item) {
    if (item == u"weekdays")
        return {1, 2, 3, 4, 5};
    if (item == u"weekends")
        return {6, 7};
    if (item == u"daily")
        return {1, 2, 3, 4, 5, 6, 7};
    if (item.contains(u'-'))
        return range(item);
    const int day = dayNumber(item);
    if (day == 0)
        notADay(item);
    return {day};
}

// "09:00-17:30", also with the en dash the rules' descriptions use.
std::pair<QTime, QTime> timeSpan(const QString &text) {
    static const QRegularExpression pattern(
        uR"(^\s*(\d{1,2}):(\d{2})\s*[-–]\s*(\d{1,2}):(\d{2})\s*$)"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    const auto time = [&match](int hours) {
        return QTime(match.captured(hours).toInt(), match.captured(hours + 1).toInt());
    };
    if (!match.hasMatch() || !time(1).isValid() || !time(3).isValid())
        UsageError::raise(L10n::text(
            {"\"{0}\" is not a time span. Write it as HH:MM-HH:MM, such as 09:00-17:30, or 22:00-07:00 across midnight.",
             {text}}));
    return {time(1), time(3)};
}

// A level that is no whole number reads as 0, which Rule::validated() refuses with the range.
int percent(QString text) {
    text = text.trimmed();
    if (text.endsWith(u'%'))
        text.chop(1);
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

QList<int> days(const QString &text) {
    QList<int> chosen;
    for (const QString &item : text.split(u',')) {
        const QString word = item.trimmed().toLower();
        if (!word.isEmpty())
            chosen << daysOf(word);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

Condition parse(const QString &kind, const QStringList &values) {
    const QString name = kind.trimmed().toLower();
    const auto form =
        std::find_if(knownForms().cbegin(), knownForms().cend(),
                     [&name](const Form &candidate) { return candidate.name == name; });
    if (form == knownForms().cend())
        UsageError::raise(L10n::text(
            {"Unknown condition: {0}. Use --when {1}.", {kind, QString::fromUtf8(forms)}}));
    if (values.size() < form->values)
        UsageError::raise(L10n::text({"Write it as \"{0}\".", {u"--when "_s + form->syntax}}));
    if (values.size() > form->values)
        UsageError::raise(L10n::text({"Unexpected argument: {0}", {values[form->values]}}));

    Condition condition;
    condition.kind = form->kind;
    switch (condition.kind) {
    case Condition::Kind::batteryBelow:
        condition.percent = percent(values[0]);
        break;
    case Condition::Kind::schedule:
        condition.days = days(values[0]);
        std::tie(condition.start, condition.end) = timeSpan(values[1]);
        break;
    case Condition::Kind::application:
        condition.application = values[0];
        break;
    case Condition::Kind::battery:
    case Condition::Kind::adapter:
    case Condition::Kind::ups:
    case Condition::Kind::externalDisplay:
        break;
    }
    return condition;
}

} // namespace norvane::ConditionSyntax
