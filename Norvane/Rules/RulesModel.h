#pragma once

#include "RuleNoticesPreference.h"
#include "Rules/Rule.h"

#include <QAbstractListModel>
#include <QQmlEngine>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;
class RuleBook;
class RuleSwitcher;

// The rules page of the main window: every rule as a sentence with its state, in the order that
// decides between them (low-battery rules first, then the organisation's, then the person's), and
// the changes a person makes to their own rules: switching one on or off, reordering, deleting,
// pausing automatic switching as a whole. Each change is written to the rule book at once and
// acts at once; a refused one becomes `error`. Lives on the main thread.
class RulesModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application creates the rules model")
    Q_PROPERTY(int count READ count NOTIFY rowsChanged)
    Q_PROPERTY(bool paused READ paused NOTIFY rowsChanged)
    Q_PROPERTY(bool editable READ editable NOTIFY rowsChanged)
    Q_PROPERTY(QString notice READ notice NOTIFY rowsChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(norvane::RuleNoticesPreference *notices READ notices CONSTANT)

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        SentenceRole,
        StateRole,
        StateTextRole,
        NoteRole,
        EnabledRole,
        ManagedRole,
        CanMoveUpRole,
        CanMoveDownRole,
        AccessibleNameRole
    };
    // What a rule is doing now.
    enum State { Holding, Waiting, Off, Paused, Broken };
    Q_ENUM(State)

    struct Row {
        Rule rule;
        std::optional<qsizetype> bookIndex; // none: the organisation's
        QString sentence;
        State state = Waiting;
        bool movable = false;
        friend bool operator==(const Row &, const Row &) = default;
    };

    // `switcher` none: no rule is read (nothing holds) and there are no managed rules.
    // `notices`: whether switches are told in a notice; none: the page offers no such setting.
    RulesModel(RuleBook &book, const ProfileLibrary &library, RuleSwitcher *switcher,
               RuleNoticesPreference *notices = nullptr, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    // The person paused automatic switching as a whole.
    [[nodiscard]] bool paused() const;
    // The person may change their rules: the file was read and the organisation allows them.
    [[nodiscard]] bool editable() const;
    // Why the person's rules cannot be changed now; empty when they can.
    [[nodiscard]] QString notice() const;
    [[nodiscard]] QString error() const { return m_error; }
    [[nodiscard]] RuleNoticesPreference *notices() const { return m_notices; }
    [[nodiscard]] static QString stateText(State state);

    Q_INVOKABLE void setEnabled(int row, bool enabled);
    // Moves the rule at `row` to the place of the rule at `target`, both the person's own and
    // neither a low-battery rule (those always go first).
    Q_INVOKABLE void moveTo(int row, int target);
    Q_INVOKABLE void moveUp(int row) { moveTo(row, row - 1); }
    Q_INVOKABLE void moveDown(int row) { moveTo(row, row + 1); }
    Q_INVOKABLE void remove(int row);
    Q_INVOKABLE void setPaused(bool paused);
    Q_INVOKABLE void add();
    Q_INVOKABLE void edit(int row);
    Q_INVOKABLE void dismissError();

    // Rebuilds the rows from the book, the library and the switcher.
    void refresh();

    // Opens the rule editor on the person's rule at this index of the book; none: a new rule.
    std::function<void(std::optional<qsizetype>)> onEdit;

signals:
    void rowsChanged();
    void errorChanged();

private:
    [[nodiscard]] QList<Row> build() const;
    [[nodiscard]] Row row(const Rule &rule, std::optional<qsizetype> bookIndex) const;
    [[nodiscard]] std::optional<qsizetype> ownIndex(int row) const;
    // Runs a change of the book; a refusal becomes the error. The switcher acts on the result.
    void change(const std::function<void()> &operation);
    void setError(const QString &error);

    RuleBook &m_book;
    const ProfileLibrary &m_library;
    RuleSwitcher *m_switcher;
    RuleNoticesPreference *m_notices;
    QList<Row> m_rows;
    QString m_error;
};

} // namespace norvane
