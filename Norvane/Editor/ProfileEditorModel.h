#pragma once

#include "Components/Announcement.h"
#include "Managed/Policy.h"
#include "Profiles/Profile.h"

#include <QColor>
#include <QObject>
#include <QQmlEngine>
#include <QVariantList>
#include <functional>
#include <optional>

namespace norvane {

// The profile editor's state: a working copy (the draft) of a profile or of a new one, edited by
// ProfileEditorView and handed to onSave only once it validates. Nothing reaches the library
// before the primary button succeeds; a failed save or delete keeps the draft and shows why.
// Beside each time the administrator's policy limits stands the limit; a time past it (Never is
// past every limit) says so there and keeps the draft from being saved.
class ProfileEditorModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The profile editor creates its model")
    Q_PROPERTY(bool isNew READ isNew CONSTANT)
    Q_PROPERTY(QString heading READ heading CONSTANT)
    Q_PROPERTY(QString primaryTitle READ primaryTitle CONSTANT)
    Q_PROPERTY(bool canDelete READ canDelete CONSTANT)
    Q_PROPERTY(bool isPreset READ isPreset CONSTANT)
    Q_PROPERTY(bool returnEnabled READ returnEnabled CONSTANT)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY draftChanged)
    Q_PROPERTY(QString presetTitle READ presetTitle CONSTANT)
    Q_PROPERTY(QString symbol READ symbol NOTIFY draftChanged)
    Q_PROPERTY(QColor accent READ accent NOTIFY draftChanged)
    Q_PROPERTY(QVariantList icons READ icons CONSTANT)
    Q_PROPERTY(QString icon READ icon NOTIFY draftChanged)
    Q_PROPERTY(int displayMinutes READ displayMinutes NOTIFY draftChanged)
    Q_PROPERTY(int sleepMinutes READ sleepMinutes NOTIFY draftChanged)
    Q_PROPERTY(int screenSaverMinutes READ screenSaverMinutes NOTIFY draftChanged)
    Q_PROPERTY(int returnMinutes READ returnMinutes NOTIFY draftChanged)
    Q_PROPERTY(QString displayLimit READ displayLimit NOTIFY draftChanged)
    Q_PROPERTY(QString sleepLimit READ sleepLimit NOTIFY draftChanged)
    Q_PROPERTY(QString screenSaverLimit READ screenSaverLimit NOTIFY draftChanged)
    Q_PROPERTY(bool displayOverLimit READ displayOverLimit NOTIFY draftChanged)
    Q_PROPERTY(bool sleepOverLimit READ sleepOverLimit NOTIFY draftChanged)
    Q_PROPERTY(bool screenSaverOverLimit READ screenSaverOverLimit NOTIFY draftChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY draftChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(norvane::Announcement *announcement READ announcement CONSTANT)

public:
    // Stores the profile; throws to refuse it.
    using Save = std::function<void(const Profile &)>;
    // Deletes the edited profile; throws to refuse.
    using Delete = std::function<void()>;

    enum Field { DisplayMinutes, SleepMinutes, ScreenSaver, AutomaticReturn };
    Q_ENUM(Field)

    // `profile` none: a new profile. `onDelete` none: deletion is not offered. `policy`: the
    // administrator's, whose limits the times must keep.
    ProfileEditorModel(const std::optional<Profile> &profile, Save onSave,
                       std::optional<Delete> onDelete, Policy policy = {},
                       QObject *parent = nullptr);

    // The draft a new profile starts from: a fresh identifier, no name, the sliders icon,
    // display 5 min, sleep 15 min, screen saver 5 min, no automatic return.
    [[nodiscard]] static Profile newDraft();

    [[nodiscard]] const Profile &draft() const { return m_draft; }
    [[nodiscard]] bool isNew() const { return m_isNew; }
    [[nodiscard]] QString heading() const;
    [[nodiscard]] QString primaryTitle() const;
    [[nodiscard]] bool canDelete() const { return m_onDelete.has_value(); }
    [[nodiscard]] bool isPreset() const { return m_draft.isPreset(); }
    [[nodiscard]] bool returnEnabled() const { return !m_draft.isNormal(); }
    [[nodiscard]] const QString &title() const { return m_draft.title; }
    void setTitle(const QString &title);
    [[nodiscard]] QString presetTitle() const { return m_draft.localizedTitle(); }
    [[nodiscard]] QString symbol() const { return m_draft.symbol(); }
    [[nodiscard]] QColor accent() const;
    // One map per icon choice, in order: "rawValue", "symbol", "title".
    [[nodiscard]] QVariantList icons() const;
    // The raw value of the draft's icon: the chosen one.
    [[nodiscard]] QString icon() const { return m_draft.icon.rawValue(); }
    [[nodiscard]] int displayMinutes() const { return int(m_draft.displayMinutes); }
    [[nodiscard]] int sleepMinutes() const { return int(m_draft.sleepMinutes); }
    // The screen saver in whole minutes; the draft keeps its seconds until a minute is chosen.
    [[nodiscard]] int screenSaverMinutes() const { return int(m_draft.screenSaverSeconds / 60); }
    [[nodiscard]] int returnMinutes() const { return int(m_draft.defaultMinutes); }
    // The note beside a limited time: the limit, or that the time is past it; empty without a
    // limit.
    [[nodiscard]] QString limitNote(Field field) const;
    [[nodiscard]] bool overLimit(Field field) const { return excess(field).has_value(); }
    [[nodiscard]] QString displayLimit() const { return limitNote(DisplayMinutes); }
    [[nodiscard]] QString sleepLimit() const { return limitNote(SleepMinutes); }
    [[nodiscard]] QString screenSaverLimit() const { return limitNote(ScreenSaver); }
    [[nodiscard]] bool displayOverLimit() const { return overLimit(DisplayMinutes); }
    [[nodiscard]] bool sleepOverLimit() const { return overLimit(SleepMinutes); }
    [[nodiscard]] bool screenSaverOverLimit() const { return overLimit(ScreenSaver); }
    // Every time keeps the policy's limits.
    [[nodiscard]] bool canSave() const { return m_policy.excesses(m_draft).isEmpty(); }
    [[nodiscard]] const std::optional<QString> &error() const { return m_error; }
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }

    // Tells each refused save or delete.
    [[nodiscard]] Announcement *announcement() const { return m_announcement; }

    Q_INVOKABLE void setIcon(const QString &rawValue);
    // Chooses the icon `step` places after the draft's (before it when negative), wrapping
    // around: the arrow keys in the icon choice.
    Q_INVOKABLE void stepIcon(int step);
    Q_INVOKABLE void setMinutes(norvane::ProfileEditorModel::Field field, int minutes);

    // Validates the draft and stores it; closes on success, else shows the reason (a time past
    // the policy's limit among them).
    Q_INVOKABLE void save();
    // Deletes the profile when deletion is offered; closes on success, else shows the reason.
    Q_INVOKABLE void remove();
    // Closes without saving.
    Q_INVOKABLE void cancel();

    // Ends the sheet.
    std::function<void()> onClose;

signals:
    void draftChanged();
    void errorChanged();

private:
    [[nodiscard]] std::optional<Policy::Excess> excess(Field field) const;
    void setError(const std::optional<QString> &error);
    void close();

    Profile m_draft;
    bool m_isNew;
    Save m_onSave;
    std::optional<Delete> m_onDelete;
    Policy m_policy;
    std::optional<QString> m_error;
    Announcement *m_announcement;
};

} // namespace norvane
