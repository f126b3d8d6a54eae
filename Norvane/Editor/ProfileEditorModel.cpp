#include "ProfileEditorModel.h"

#include "Components/ProfileVisuals.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

#include <QUuid>

namespace norvane {

namespace {

// A time the policy may limit: its setting and the draft's value in seconds.
struct LimitedTime {
    Policy::Setting setting;
    qint64 seconds;
};

std::optional<LimitedTime> limitedTime(ProfileEditorModel::Field field, const Profile &draft) {
    switch (field) {
    case ProfileEditorModel::DisplayMinutes:
        return LimitedTime{Policy::Setting::display, draft.displayMinutes * 60};
    case ProfileEditorModel::SleepMinutes:
        return LimitedTime{Policy::Setting::sleep, draft.sleepMinutes * 60};
    case ProfileEditorModel::ScreenSaver:
        return LimitedTime{Policy::Setting::screenSaver, draft.screenSaverSeconds};
    case ProfileEditorModel::AutomaticReturn:
        break;
    }
    return std::nullopt;
}

} // namespace

ProfileEditorModel::ProfileEditorModel(const std::optional<Profile> &profile, Save onSave,
                                       std::optional<Delete> onDelete, Policy policy,
                                       QObject *parent)
    : QObject(parent), m_draft(profile.value_or(newDraft())), m_isNew(!profile),
      m_onSave(std::move(onSave)), m_onDelete(std::move(onDelete)), m_policy(std::move(policy)),
      m_announcement(new Announcement(this)) {}

Profile ProfileEditorModel::newDraft() {
    return Profile(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(), QString(),
                   ProfileIcon::sliders, 5, 15, 300, 0);
}

QString ProfileEditorModel::heading() const {
    return m_isNew ? L10n::text("Create Your Profile") : L10n::text("Edit Profile");
}

QString ProfileEditorModel::primaryTitle() const {
    return m_isNew ? L10n::text("Create Profile") : L10n::text("Save");
}

void ProfileEditorModel::setTitle(const QString &title) {
    if (m_draft.title == title)
        return;
    m_draft.title = title;
    emit draftChanged();
}

QColor ProfileEditorModel::accent() const {
    return norvane::accent(m_draft);
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): a property QML reads.
QVariantList ProfileEditorModel::icons() const {
    QVariantList list;
    for (const ProfileIcon icon : ProfileIcon::allCases()) {
        list << QVariantMap{{QStringLiteral("rawValue"), icon.rawValue()},
                            {QStringLiteral("symbol"), icon.symbol()},
                            {QStringLiteral("title"), icon.title()}};
    }
    return list;
}

void ProfileEditorModel::setIcon(const QString &rawValue) {
    const std::optional<ProfileIcon> icon = ProfileIcon::fromRawValue(rawValue);
    if (!icon || *icon == m_draft.icon)
        return;
    m_draft.icon = *icon;
    emit draftChanged();
}

void ProfileEditorModel::stepIcon(int step) {
    const auto &icons = ProfileIcon::allCases();
    const auto count = qsizetype(icons.size());
    const auto at = qsizetype(std::find(icons.begin(), icons.end(), m_draft.icon) - icons.begin());
    setIcon(icons.at(((at + step) % count + count) % count).rawValue());
}

void ProfileEditorModel::setMinutes(Field field, int minutes) {
    Profile edited = m_draft;
    switch (field) {
    case DisplayMinutes:
        edited.displayMinutes = minutes;
        break;
    case SleepMinutes:
        edited.sleepMinutes = minutes;
        break;
    case ScreenSaver:
        edited.screenSaverSeconds = qint64(minutes) * 60;
        break;
    case AutomaticReturn:
        if (!returnEnabled())
            return;
        edited.defaultMinutes = minutes;
        break;
    }
    if (edited == m_draft)
        return;
    m_draft = edited;
    emit draftChanged();
}

std::optional<Policy::Excess> ProfileEditorModel::excess(Field field) const {
    const std::optional<LimitedTime> time = limitedTime(field, m_draft);
    return time ? m_policy.excess(time->setting, time->seconds) : std::nullopt;
}

QString ProfileEditorModel::limitNote(Field field) const {
    const std::optional<LimitedTime> time = limitedTime(field, m_draft);
    const std::optional<Policy::Limit> limit = time ? m_policy.limit(time->setting) : std::nullopt;
    if (!limit)
        return {};
    if (overLimit(field))
        return L10n::text({"Longer than your organisation allows: at most {0}", {limit->text()}});
    return L10n::text({"Your organisation allows at most {0}", {limit->text()}});
}

void ProfileEditorModel::save() {
    if (const QList<Policy::Excess> over = m_policy.excesses(m_draft); !over.isEmpty()) {
        setError(over.first().editRefusal());
        return;
    }
    try {
        m_onSave(m_draft.validated());
    } catch (const std::exception &failure) {
        setError(localizedDescription(failure));
        return;
    }
    close();
}

void ProfileEditorModel::remove() {
    if (!m_onDelete)
        return;
    try {
        (*m_onDelete)();
    } catch (const std::exception &failure) {
        setError(localizedDescription(failure));
        return;
    }
    close();
}

void ProfileEditorModel::cancel() {
    close();
}

void ProfileEditorModel::setError(const std::optional<QString> &error) {
    if (error) // told again when the same reason refuses again
        m_announcement->announce(*error);
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void ProfileEditorModel::close() {
    if (onClose)
        onClose();
}

} // namespace norvane
