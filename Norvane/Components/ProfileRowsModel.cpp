#include "ProfileRowsModel.h"

#include "Localization/L10n.h"
#include "MinuteLabel.h"
#include "ProfileVisuals.h"
#include "Sessions/SessionStore.h"

#include <algorithm>
#include <cmath>

namespace norvane {

int ProfileRowsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ProfileRowsModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case IdRole:
        return row.id;
    case Qt::DisplayRole:
    case TitleRole:
        return row.title;
    case SummaryRole:
        return row.summary;
    case AccentRole:
        return row.accent;
    case SymbolRole:
        return row.symbol;
    case SelectedRole:
        return row.selected;
    case AppliedRole:
        return row.applied;
    case AllowedRole:
        return row.allowed;
    case AccessibleNameRole:
        return row.accessibleName;
    default:
        return {};
    }
}

QHash<int, QByteArray> ProfileRowsModel::roleNames() const {
    return {
        {IdRole, "profileId"},    {TitleRole, "title"},     {SummaryRole, "summary"},
        {AccentRole, "accent"},   {SymbolRole, "symbol"},   {SelectedRole, "selected"},
        {AppliedRole, "applied"}, {AllowedRole, "allowed"}, {AccessibleNameRole, "accessibleName"}};
}

QStringList ProfileRowsModel::ids() const {
    QStringList ids;
    for (const Row &row : m_rows)
        ids << row.id;
    return ids;
}

void ProfileRowsModel::show(const QList<Profile> &profiles, const SessionStore &store,
                            const Policy &policy, const QString &selectedID) {
    QList<Row> rows;
    for (const Profile &profile : profiles) {
        const bool allowed = policy.excesses(profile).isEmpty();
        rows << Row{profile.id,
                    profile.localizedTitle(),
                    allowed ? navigationSummary(profile) : L10n::text("Not allowed"),
                    accent(profile),
                    profile.symbol(),
                    !selectedID.isEmpty() && profile.id == selectedID,
                    store.hasAppliedProfile() && store.profile() == profile,
                    allowed,
                    accessibleName(profile, store)};
    }
    setRows(rows);
}

QString ProfileRowsModel::accessibleName(const Profile &profile, const SessionStore &store) {
    QString title = profile.localizedTitle();
    if (!store.hasAppliedProfile() || store.profile() != profile)
        return title;
    const std::optional<double> seconds = store.session().remaining(store.now());
    if (!seconds)
        return L10n::text({"{0}, applied", {title}});
    const auto minutes = qint64(std::ceil(std::max(*seconds, 0.0) / 60));
    return L10n::text({"{0}, applied, {1} left", {title, spokenMinutes(minutes)}});
}

void ProfileRowsModel::setRows(const QList<Row> &rows) {
    if (rows == m_rows)
        return;
    const bool sameIDs = rows.size() == m_rows.size() &&
                         std::equal(rows.cbegin(), rows.cend(), m_rows.cbegin(),
                                    [](const Row &a, const Row &b) { return a.id == b.id; });
    if (!sameIDs) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i] == m_rows[i])
            continue;
        m_rows[i] = rows[i];
        emit dataChanged(index(int(i)), index(int(i)));
    }
}

} // namespace norvane
