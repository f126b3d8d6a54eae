#include "RulesModel.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleSwitcher.h"

namespace norvane {

RulesModel::RulesModel(RuleBook &book, const ProfileLibrary &library, RuleSwitcher *switcher,
                       RuleNoticesPreference *notices, QObject *parent)
    : QAbstractListModel(parent), m_book(book), m_library(library), m_switcher(switcher),
      m_notices(notices) {
    if (m_switcher)
        connect(m_switcher, &RuleSwitcher::changed, this, &RulesModel::refresh);
    m_rows = build();
}

int RulesModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RulesModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int at = index.row();
    const Row &row = m_rows[at];
    switch (role) {
    case IdRole:
        return row.rule.id;
    case SentenceRole:
        return row.sentence;
    case StateRole:
        return row.state;
    case StateTextRole:
        return stateText(row.state);
    case NoteRole:
        if (row.rule.when.isSafety())
            return L10n::text("Always first: a low battery outranks every other rule");
        return row.bookIndex ? QString() : L10n::text("Provided by your organisation");
    case EnabledRole:
        return row.rule.enabled;
    case ManagedRole:
        return !row.bookIndex;
    case CanMoveUpRole:
        return row.movable && at > 0 && m_rows[at - 1].movable;
    case CanMoveDownRole:
        return row.movable && at + 1 < m_rows.size() && m_rows[at + 1].movable;
    case AccessibleNameRole:
        return L10n::text({"{0}, {1}", {row.sentence, stateText(row.state)}});
    default:
        return {};
    }
}

QHash<int, QByteArray> RulesModel::roleNames() const {
    return {{IdRole, "ruleId"},
            {SentenceRole, "sentence"},
            {StateRole, "state"},
            {StateTextRole, "stateText"},
            {NoteRole, "note"},
            {EnabledRole, "ruleEnabled"},
            {ManagedRole, "managed"},
            {CanMoveUpRole, "canMoveUp"},
            {CanMoveDownRole, "canMoveDown"},
            {AccessibleNameRole, "accessibleName"}};
}

QString RulesModel::stateText(State state) {
    switch (state) {
    case Holding:
        return L10n::text("Holding now");
    case Waiting:
        return L10n::text("Waiting");
    case Off:
        return L10n::text("Off");
    case Paused:
        return L10n::text("Paused");
    case Broken:
        break;
    }
    return L10n::text("Broken: its profile was deleted");
}

bool RulesModel::paused() const {
    // The person's choice of a profile pauses the rules only until a condition next starts to
    // hold: the rules still act, and the reason line says so.
    return m_book.isPaused();
}

bool RulesModel::editable() const {
    return !m_book.loadError() && (!m_switcher || m_switcher->personsRulesAllowed());
}

QString RulesModel::notice() const {
    if (m_book.loadError())
        return L10n::text(
            "Your rules could not be read, so they are off. Set the damaged file aside to start again without rules.");
    if (m_switcher && !m_switcher->personsRulesAllowed())
        return L10n::text("Your organisation has turned off your own rules.");
    return {};
}

RulesModel::Row RulesModel::row(const Rule &rule, std::optional<qsizetype> bookIndex) const {
    Row row{rule, bookIndex, {}, Waiting, bookIndex && !rule.when.isSafety()};
    const std::optional<Profile> profile = m_library.profileOrNormal(rule.profileId);
    row.sentence =
        rule.sentence(profile ? profile->localizedTitle() : L10n::text("a deleted profile"));
    if (!profile)
        row.state = Broken;
    else if (!rule.enabled || (bookIndex && !editable()))
        row.state = Off;
    else if (paused() && bookIndex)
        row.state = Paused;
    else if (m_switcher && m_switcher->holds(rule.id))
        row.state = Holding;
    return row;
}

QList<RulesModel::Row> RulesModel::build() const {
    QList<Row> safety;
    QList<Row> others;
    const auto place = [&](const Row &row) { (row.rule.when.isSafety() ? safety : others) << row; };
    const QList<Rule> managed = m_switcher ? m_switcher->managedRules() : QList<Rule>();
    for (const Rule &rule : managed)
        place(row(rule, std::nullopt));
    const QList<Rule> &own = m_book.rules();
    for (qsizetype index = 0; index < own.size(); ++index)
        place(row(own[index], index));
    return safety + others;
}

void RulesModel::refresh() {
    const QList<Row> rows = build();
    if (rows == m_rows)
        return;
    const bool sameRules =
        rows.size() == m_rows.size() &&
        std::equal(rows.cbegin(), rows.cend(), m_rows.cbegin(),
                   [](const Row &a, const Row &b) { return a.rule.id == b.rule.id; });
    if (sameRules) {
        m_rows = rows;
        emit dataChanged(index(0), index(int(m_rows.size()) - 1));
    } else {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    }
    emit rowsChanged();
}

std::optional<qsizetype> RulesModel::ownIndex(int row) const {
    if (row < 0 || row >= m_rows.size())
        return std::nullopt;
    return m_rows[row].bookIndex;
}

void RulesModel::change(const std::function<void()> &operation) {
    try {
        operation();
        setError({});
    } catch (const std::exception &error) {
        setError(localizedDescription(error));
    }
    if (m_switcher)
        m_switcher->rulesEdited();
    refresh();
}

void RulesModel::setEnabled(int row, bool enabled) {
    if (const auto index = ownIndex(row))
        change([&] { m_book.setEnabled(*index, enabled); });
}

void RulesModel::moveTo(int row, int target) {
    if (row < 0 || target < 0 || row >= m_rows.size() || target >= m_rows.size() ||
        !m_rows[row].movable || !m_rows[target].movable || row == target)
        return;
    change([&] { m_book.move(*m_rows[row].bookIndex, *m_rows[target].bookIndex); });
}

void RulesModel::remove(int row) {
    if (const auto index = ownIndex(row))
        change([&] { m_book.remove(*index); });
}

void RulesModel::setPaused(bool paused) {
    // Resuming also ends the pause that the person's own choice of a profile began.
    if (!paused && m_switcher)
        change([this] { m_switcher->resume(); });
    else
        change([&] { m_book.setPaused(paused); });
}

void RulesModel::add() {
    if (onEdit && editable())
        onEdit(std::nullopt);
}

void RulesModel::edit(int row) {
    if (const auto index = ownIndex(row); index && onEdit && editable())
        onEdit(*index);
}

void RulesModel::dismissError() {
    setError({});
}

void RulesModel::setError(const QString &error) {
    if (error == m_error)
        return;
    m_error = error;
    emit errorChanged();
}

} // namespace norvane
