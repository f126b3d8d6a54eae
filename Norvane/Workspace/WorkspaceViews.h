#pragma once

#include <QColor>
#include <QObject>
#include <QQmlEngine>

// What the workspace view shows, derived from the workspace model: the sidebar rows, the
// selected profile's texts and values, the live status tiles and the footer. Each part notifies
// only when what it shows has changed, so the once-a-second refresh costs nothing on screen.
namespace norvane {

class ProfileRowsModel;
class WorkspaceModel;

// The sidebar's rows: the visible profiles in library order, the selected one marked, kept up to
// date with `model` (which owns them).
[[nodiscard]] ProfileRowsModel *sidebarRows(WorkspaceModel *model);

// The selected profile as the hero and the settings rows show it.
class SelectedProfileView : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the workspace model")
    Q_PROPERTY(QString profileId READ profileId NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString symbol READ symbol NOTIFY changed)
    Q_PROPERTY(QColor accent READ accent NOTIFY changed)
    Q_PROPERTY(QString introduction READ introduction NOTIFY changed)
    Q_PROPERTY(bool isPreset READ isPreset NOTIFY changed)
    Q_PROPERTY(bool managed READ managed NOTIFY changed)
    Q_PROPERTY(bool isNormal READ isNormal NOTIFY changed)
    Q_PROPERTY(bool applied READ applied NOTIFY changed)
    Q_PROPERTY(int displayMinutes READ displayMinutes NOTIFY changed)
    Q_PROPERTY(int sleepMinutes READ sleepMinutes NOTIFY changed)
    Q_PROPERTY(int screenSaverMinutes READ screenSaverMinutes NOTIFY changed)
    Q_PROPERTY(int returnMinutes READ returnMinutes NOTIFY changed)
    Q_PROPERTY(QString displayPill READ displayPill NOTIFY changed)
    Q_PROPERTY(QString sleepPill READ sleepPill NOTIFY changed)
    Q_PROPERTY(QString screenSaverPill READ screenSaverPill NOTIFY changed)
    Q_PROPERTY(QString returnSubtitle READ returnSubtitle NOTIFY changed)
    Q_PROPERTY(double energy READ energy NOTIFY changed)
    Q_PROPERTY(double seed READ seed NOTIFY changed)
    Q_PROPERTY(double family READ family NOTIFY changed)
    Q_PROPERTY(QVariantList actions READ actions NOTIFY changed)

public:
    explicit SelectedProfileView(WorkspaceModel *model);

    [[nodiscard]] QString profileId() const { return m_state.id; }
    [[nodiscard]] QString title() const { return m_state.title; }
    [[nodiscard]] QString symbol() const { return m_state.symbol; }
    [[nodiscard]] QColor accent() const { return m_state.accent; }
    [[nodiscard]] QString introduction() const { return m_state.introduction; }
    [[nodiscard]] bool isPreset() const { return m_state.isPreset; }
    // Provided by the organisation: shown and applied, never changed here.
    [[nodiscard]] bool managed() const { return m_state.managed; }
    [[nodiscard]] bool isNormal() const { return m_state.isNormal; }
    [[nodiscard]] bool applied() const { return m_state.applied; }
    [[nodiscard]] int displayMinutes() const { return m_state.displayMinutes; }
    [[nodiscard]] int sleepMinutes() const { return m_state.sleepMinutes; }
    [[nodiscard]] int screenSaverMinutes() const { return m_state.screenSaverMinutes; }
    [[nodiscard]] int returnMinutes() const { return m_state.returnMinutes; }
    [[nodiscard]] QString displayPill() const { return m_state.displayPill; }
    [[nodiscard]] QString sleepPill() const { return m_state.sleepPill; }
    [[nodiscard]] QString screenSaverPill() const { return m_state.screenSaverPill; }
    [[nodiscard]] QString returnSubtitle() const { return m_state.returnSubtitle; }
    [[nodiscard]] double energy() const { return m_state.energy; }
    [[nodiscard]] double seed() const { return m_state.seed; }
    [[nodiscard]] double family() const { return m_state.family; }
    // The items of the profile-actions menu, in order: maps with "action" (for
    // WorkspaceModel::perform), "title" and "destructive".
    [[nodiscard]] QVariantList actions() const { return m_state.actions; }

signals:
    void changed();

private:
    struct State {
        QString id;
        QString title;
        QString symbol;
        QColor accent;
        QString introduction;
        bool isPreset = false;
        bool managed = false;
        bool isNormal = false;
        bool applied = false;
        int displayMinutes = 0;
        int sleepMinutes = 0;
        int screenSaverMinutes = 0;
        int returnMinutes = 0;
        QString displayPill;
        QString sleepPill;
        QString screenSaverPill;
        QString returnSubtitle;
        double energy = 0;
        double seed = 0;
        double family = 0;
        QVariantList actions;
        friend bool operator==(const State &, const State &) = default;
    };

    void update();

    WorkspaceModel *m_model;
    State m_state;
};

// The three live status tiles and the read error under them.
class LiveStatusView : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the workspace model")
    Q_PROPERTY(QString displayValue READ displayValue NOTIFY changed)
    Q_PROPERTY(QString sleepValue READ sleepValue NOTIFY changed)
    Q_PROPERTY(QString sourceValue READ sourceValue NOTIFY changed)
    Q_PROPERTY(QString error READ error NOTIFY changed)
    Q_PROPERTY(QString systemNote READ systemNote CONSTANT)

public:
    explicit LiveStatusView(WorkspaceModel *model);

    [[nodiscard]] QString displayValue() const { return m_displayValue; }
    [[nodiscard]] QString sleepValue() const { return m_sleepValue; }
    [[nodiscard]] QString sourceValue() const { return m_sourceValue; }
    // The snapshot's error text; empty when there is none.
    [[nodiscard]] QString error() const { return m_error; }
    // Why the simulated Mac stands in, when it does for lack of a desktop; empty otherwise.
    [[nodiscard]] QString systemNote() const;

signals:
    void changed();

private:
    void update();

    WorkspaceModel *m_model;
    QString m_displayValue;
    QString m_sleepValue;
    QString m_sourceValue;
    QString m_error;
};

// The footer: the status and explanation lines and the Apply button, which is off for a profile
// the administrator's policy forbids (the lines then say why, naming the limit).
class ApplyFooterView : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the workspace model")
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY changed)
    Q_PROPERTY(QString explanationLine READ explanationLine NOTIFY changed)
    Q_PROPERTY(QString applyTitle READ applyTitle NOTIFY changed)
    Q_PROPERTY(bool canApply READ canApply NOTIFY changed)

public:
    explicit ApplyFooterView(WorkspaceModel *model);

    [[nodiscard]] bool canApply() const { return m_canApply; }
    [[nodiscard]] QString statusLine() const { return m_statusLine; }
    [[nodiscard]] QString explanationLine() const { return m_explanationLine; }
    [[nodiscard]] QString applyTitle() const { return m_applyTitle; }

signals:
    void changed();

private:
    void update();

    WorkspaceModel *m_model;
    QString m_statusLine;
    QString m_explanationLine;
    QString m_applyTitle;
    bool m_canApply = true;
};

} // namespace norvane
