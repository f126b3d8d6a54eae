#include "RuleEditorModel.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/ProfileLibrary.h"

#include <QLocale>
#include <QUuid>

namespace norvane {

namespace {

using Kind = Condition::Kind;

struct ConditionChoice {
    Kind kind;
    const char *title;
};
const std::array kChoices{
    ConditionChoice{Kind::battery, L10n::noop("On battery")},
    ConditionChoice{Kind::adapter, L10n::noop("On the power adapter")},
    ConditionChoice{Kind::ups, L10n::noop("On a UPS")},
    ConditionChoice{Kind::batteryBelow, L10n::noop("When the battery is low")},
    ConditionChoice{Kind::schedule, L10n::noop("On a schedule")},
    ConditionChoice{Kind::application, L10n::noop("While an application runs")},
    ConditionChoice{Kind::externalDisplay, L10n::noop("While an external display is connected")},
};

QString shortTime(const QTime &time) {
    return QLocale().toString(time, QLocale::ShortFormat);
}

// What `validated()` says of the rule, or empty.
QString refusalOf(const Rule &rule) {
    try {
        (void)rule.validated();
        return {};
    } catch (const std::exception &error) {
        return localizedDescription(error);
    }
}

// What `validated()` says of the rule's condition on its own (whatever its profile), or empty.
QString conditionRefusal(Rule rule) {
    rule.profileId = QStringLiteral("any");
    return refusalOf(rule);
}

} // namespace

RuleEditorModel::RuleEditorModel(const std::optional<Rule> &rule, const ProfileLibrary &library,
                                 QVariantList applications, Save onSave, QObject *parent)
    : QObject(parent), m_isNew(!rule), m_applications(std::move(applications)),
      m_onSave(std::move(onSave)), m_announcement(new Announcement(this)) {
    for (const Profile &profile : library.profiles())
        m_profiles.append({profile.id, profile.localizedTitle()});
    if (rule) {
        m_draft = *rule;
    } else {
        // A new rule: on battery, with the first profile after Normal, and the usual working day
        // ready should the person pick a schedule.
        m_draft.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        m_draft.when = {Kind::battery, 20, {1, 2, 3, 4, 5}, QTime(9, 0), QTime(17, 0), {}};
        const auto other = std::find_if(m_profiles.cbegin(), m_profiles.cend(),
                                        [](const auto &entry) { return entry.first != u"normal"; });
        m_draft.profileId = other == m_profiles.cend() ? QString() : other->first;
    }
    if (m_draft.when.percent == 0)
        m_draft.when.percent = 20;
    if (!m_draft.when.start.isValid())
        m_draft.when.start = QTime(9, 0);
    if (!m_draft.when.end.isValid())
        m_draft.when.end = QTime(17, 0);
    m_startText = shortTime(m_draft.when.start);
    m_endText = shortTime(m_draft.when.end);
}

QString RuleEditorModel::heading() const {
    return m_isNew ? L10n::text("New Rule") : L10n::text("Edit Rule");
}

QVariantList RuleEditorModel::conditions() {
    QVariantList list;
    for (const ConditionChoice &choice : kChoices)
        list << QVariantMap{{QStringLiteral("title"), L10n::text(choice.title)}};
    return list;
}

int RuleEditorModel::condition() const {
    const auto *const found =
        std::find_if(kChoices.cbegin(), kChoices.cend(),
                     [this](const auto &choice) { return choice.kind == m_draft.when.kind; });
    return int(found - kChoices.cbegin());
}

void RuleEditorModel::setCondition(int index) {
    if (index < 0 || index >= int(kChoices.size()) || kChoices[index].kind == m_draft.when.kind)
        return;
    m_draft.when.kind = kChoices[index].kind;
    m_conditionError.clear();
    m_timeError.clear();
    edited();
}

QString RuleEditorModel::fields() const {
    switch (m_draft.when.kind) {
    case Kind::batteryBelow:
        return QStringLiteral("level");
    case Kind::schedule:
        return QStringLiteral("schedule");
    case Kind::application:
        return QStringLiteral("application");
    default:
        return {};
    }
}

void RuleEditorModel::setPercent(int percent) {
    if (percent == m_draft.when.percent)
        return;
    m_draft.when.percent = percent;
    m_conditionError.clear();
    edited();
}

QVariantList RuleEditorModel::days() const {
    QVariantList list;
    const QLocale locale;
    const int first = int(locale.firstDayOfWeek());
    for (int offset = 0; offset < 7; ++offset) {
        const int day = (first - 1 + offset) % 7 + 1;
        list << QVariantMap{
            {QStringLiteral("day"), day},
            {QStringLiteral("name"), locale.standaloneDayName(day)},
            {QStringLiteral("shortName"), locale.standaloneDayName(day, QLocale::ShortFormat)},
            {QStringLiteral("on"), m_draft.when.days.contains(day)}};
    }
    return list;
}

void RuleEditorModel::toggleDay(int day) {
    if (day < 1 || day > 7)
        return;
    QList<int> &days = m_draft.when.days;
    if (days.contains(day))
        days.removeAll(day);
    else
        days.insert(std::lower_bound(days.begin(), days.end(), day), day);
    m_conditionError.clear();
    edited();
}

std::optional<QTime> RuleEditorModel::parseTime(const QString &text) {
    const QString trimmed = text.trimmed();
    for (const QTime time : {QLocale().toTime(trimmed, QLocale::ShortFormat),
                             QTime::fromString(trimmed, QStringLiteral("H:mm"))})
        if (time.isValid())
            return time;
    return std::nullopt;
}

QString RuleEditorModel::timeExample() {
    return shortTime(QTime(17, 30));
}

void RuleEditorModel::setStartText(const QString &text) {
    if (text == m_startText)
        return;
    m_startText = text;
    m_timeError.clear();
    edited();
}

void RuleEditorModel::setEndText(const QString &text) {
    if (text == m_endText)
        return;
    m_endText = text;
    m_timeError.clear();
    edited();
}

void RuleEditorModel::setApplication(const QString &application) {
    if (application == m_draft.when.application)
        return;
    m_draft.when.application = application;
    m_conditionError.clear();
    edited();
}

QVariantList RuleEditorModel::profiles() const {
    QVariantList list;
    for (const auto &[id, title] : m_profiles)
        list << QVariantMap{{QStringLiteral("id"), id}, {QStringLiteral("title"), title}};
    return list;
}

int RuleEditorModel::profile() const {
    const auto found =
        std::find_if(m_profiles.cbegin(), m_profiles.cend(),
                     [this](const auto &entry) { return entry.first == m_draft.profileId; });
    return found == m_profiles.cend() ? -1 : int(found - m_profiles.cbegin());
}

void RuleEditorModel::setProfile(int index) {
    if (index < 0 || index >= m_profiles.size() || m_profiles[index].first == m_draft.profileId)
        return;
    m_draft.profileId = m_profiles[index].first;
    m_profileError.clear();
    edited();
}

QString RuleEditorModel::sentence() const {
    // Said only once the condition is complete: "While  runs" says nothing.
    if (!conditionRefusal(m_draft).isEmpty())
        return {};
    const int index = profile();
    return m_draft.sentence(index < 0 ? L10n::text("a deleted profile") : m_profiles[index].second);
}

bool RuleEditorModel::check() {
    m_conditionError.clear();
    m_timeError.clear();
    m_profileError.clear();
    if (m_draft.when.kind == Kind::schedule) {
        const std::optional<QTime> start = parseTime(m_startText);
        const std::optional<QTime> end = parseTime(m_endText);
        if (!start || !end)
            m_timeError = L10n::text({"Write a time of day such as {0}.", {timeExample()}});
        else
            std::tie(m_draft.when.start, m_draft.when.end) = std::tie(*start, *end);
    }
    if (const QString refusal = conditionRefusal(m_draft);
        !refusal.isEmpty() && m_timeError.isEmpty()) {
        const bool aboutTimes = m_draft.when.kind == Kind::schedule && !m_draft.when.days.isEmpty();
        (aboutTimes ? m_timeError : m_conditionError) = refusal;
    }
    if (profile() < 0)
        m_profileError = refusalOf(Rule{m_draft.id, {}, {}, true});
    emit errorsChanged();
    return m_conditionError.isEmpty() && m_timeError.isEmpty() && m_profileError.isEmpty();
}

void RuleEditorModel::save() {
    m_error.clear();
    if (!check()) {
        for (const QString *error : {&m_conditionError, &m_timeError, &m_profileError})
            if (!error->isEmpty()) {
                m_announcement->announce(*error);
                break;
            }
        return;
    }
    try {
        m_onSave(m_draft.validated());
    } catch (const std::exception &error) {
        m_error = localizedDescription(error);
        emit errorsChanged();
        m_announcement->announce(m_error);
        return;
    }
    if (onClose)
        onClose();
}

void RuleEditorModel::cancel() {
    if (onClose)
        onClose();
}

void RuleEditorModel::edited() {
    emit draftChanged();
    emit errorsChanged();
}

} // namespace norvane
