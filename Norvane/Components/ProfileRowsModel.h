#pragma once

#include "Managed/Policy.h"
#include "Profiles/Profile.h"

#include <QAbstractListModel>
#include <QColor>
#include <QQmlEngine>

namespace norvane {

class SessionStore;

// Profiles as list rows, in the order given: title, summary, accent and symbol, whether the
// profile is the one applied, whether it is the one selected, whether the policy lets it be
// applied (a profile it forbids reads “Not allowed” as its summary), and the name a screen reader
// says for the row ("Focus, applied, 12 minutes left"). Rows change in place when only
// their content changes, so an open list keeps its scroll position and hover state on every
// refresh; a change in the identifiers resets the model.
class ProfileRowsModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by a window's model")

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        TitleRole,
        SummaryRole,
        AccentRole,
        SymbolRole,
        SelectedRole,
        AppliedRole,
        AllowedRole,
        AccessibleNameRole
    };
    Q_ENUM(Role)

    struct Row {
        QString id;
        QString title;
        QString summary;
        QColor accent;
        QString symbol;
        bool selected = false;
        bool applied = false;
        bool allowed = true;
        QString accessibleName;
        friend bool operator==(const Row &, const Row &) = default;
    };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] QStringList ids() const;
    // The title, and for the applied profile that it is applied and how many minutes are left
    // of a timed session (rounded up, so that they change once a minute).
    [[nodiscard]] static QString accessibleName(const Profile &profile, const SessionStore &store);

    // Shows `profiles`, marking the one `store` has applied, the one whose identifier is
    // `selectedID` (none when it is empty) and those `policy` does not allow.
    void show(const QList<Profile> &profiles, const SessionStore &store, const Policy &policy,
              const QString &selectedID = {});

private:
    void setRows(const QList<Row> &rows);

    QList<Row> m_rows;
};

} // namespace norvane
