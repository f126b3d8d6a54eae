#pragma once

#include "Components/Announcement.h"
#include "Rules/Rule.h"

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;

// The rule editor's state: a working copy of a rule or of a new one. The condition picker, the
// fields the chosen condition needs (a battery level, days and times in the locale's format, an
// application) and the profile picker edit it; Save hands it on only once it is possible, and
// otherwise shows why beside the field at fault.
class RuleEditorModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The rule editor creates its model")
    Q_PROPERTY(QString heading READ heading CONSTANT)
    Q_PROPERTY(QVariantList conditions READ conditions CONSTANT)
    Q_PROPERTY(int condition READ condition WRITE setCondition NOTIFY draftChanged)
    Q_PROPERTY(QString fields READ fields NOTIFY draftChanged)
    Q_PROPERTY(int percent READ percent WRITE setPercent NOTIFY draftChanged)
    Q_PROPERTY(QVariantList days READ days NOTIFY draftChanged)
    Q_PROPERTY(QString startText READ startText WRITE setStartText NOTIFY draftChanged)
    Q_PROPERTY(QString endText READ endText WRITE setEndText NOTIFY draftChanged)
    Q_PROPERTY(QString timeExample READ timeExample CONSTANT)
    Q_PROPERTY(QString application READ application WRITE setApplication NOTIFY draftChanged)
    Q_PROPERTY(QVariantList applications READ applications CONSTANT)
    Q_PROPERTY(QVariantList profiles READ profiles CONSTANT)
    Q_PROPERTY(int profile READ profile WRITE setProfile NOTIFY draftChanged)
    Q_PROPERTY(QString sentence READ sentence NOTIFY draftChanged)
    Q_PROPERTY(QString conditionError READ conditionError NOTIFY errorsChanged)
    Q_PROPERTY(QString timeError READ timeError NOTIFY errorsChanged)
    Q_PROPERTY(QString profileError READ profileError NOTIFY errorsChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorsChanged)
    Q_PROPERTY(norvane::Announcement *announcement READ announcement CONSTANT)

public:
    // Stores the rule; throws to refuse it.
    using Save = std::function<void(const Rule &)>;

    // `rule` none: a new rule. `applications`: the ones offered to choose from, as maps with
    // "id" and "name".
    RuleEditorModel(const std::optional<Rule> &rule, const ProfileLibrary &library,
                    QVariantList applications, Save onSave, QObject *parent = nullptr);

    [[nodiscard]] const Rule &draft() const { return m_draft; }
    [[nodiscard]] QString heading() const;
    // One map per kind of condition, in the picker's order: "title".
    [[nodiscard]] static QVariantList conditions();
    [[nodiscard]] int condition() const;
    void setCondition(int index);
    // Which fields the condition needs: "level", "schedule", "application", or none.
    [[nodiscard]] QString fields() const;
    [[nodiscard]] int percent() const { return m_draft.when.percent; }
    void setPercent(int percent);
    // The seven days from the locale's first: maps with "day" (1 Monday … 7 Sunday), "name",
    // "shortName" and "on".
    [[nodiscard]] QVariantList days() const;
    Q_INVOKABLE void toggleDay(int day);
    [[nodiscard]] const QString &startText() const { return m_startText; }
    void setStartText(const QString &text);
    [[nodiscard]] const QString &endText() const { return m_endText; }
    void setEndText(const QString &text);
    // A time in the locale's format, to show how to write one.
    [[nodiscard]] static QString timeExample();
    [[nodiscard]] const QString &application() const { return m_draft.when.application; }
    void setApplication(const QString &application);
    [[nodiscard]] const QVariantList &applications() const { return m_applications; }
    // The profiles to choose from: maps with "id" and "title".
    [[nodiscard]] QVariantList profiles() const;
    [[nodiscard]] int profile() const;
    void setProfile(int index);
    // The rule as the list will say it.
    [[nodiscard]] QString sentence() const;

    // Why the condition's own field (level, days, application) or its times cannot be saved, why
    // no profile is chosen, and why a save failed otherwise; empty when nothing is wrong.
    [[nodiscard]] const QString &conditionError() const { return m_conditionError; }
    [[nodiscard]] const QString &timeError() const { return m_timeError; }
    [[nodiscard]] const QString &profileError() const { return m_profileError; }
    [[nodiscard]] const QString &error() const { return m_error; }
    [[nodiscard]] Announcement *announcement() const { return m_announcement; }

    // A time of day as a person writes it in the locale's short format, or as HH:MM.
    [[nodiscard]] static std::optional<QTime> parseTime(const QString &text);

    // Checks the draft and stores it; closes on success, else shows why beside the field.
    Q_INVOKABLE void save();
    Q_INVOKABLE void cancel();

    std::function<void()> onClose;

signals:
    void draftChanged();
    void errorsChanged();

private:
    // Finds what is wrong with the draft, field by field; true when nothing is.
    bool check();
    void edited();

    Rule m_draft;
    bool m_isNew;
    QList<std::pair<QString, QString>> m_profiles; // identifier, title
    QVariantList m_applications;
    QString m_startText;
    QString m_endText;
    Save m_onSave;
    QString m_conditionError;
    QString m_timeError;
    QString m_profileError;
    QString m_error;
    Announcement *m_announcement;
};

} // namespace norvane
