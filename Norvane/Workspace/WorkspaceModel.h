#pragma once

#include "Components/Announcement.h"
#include "Components/ProfileRowsModel.h"
#include "Components/SystemReader.h"
#include "Managed/Policy.h"
#include "NormalOffer.h"
#include "Profiles/Profile.h"
#include "Rules/RulesModel.h"
#include "Rules/SwitchingReason.h"
#include "Sessions/Session.h"
#include "Status/SystemSettings.h"
#include "WorkspaceViews.h"

#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;
class SessionStore;

// The main window's state: the profiles in the sidebar, the selection, the search text, the
// latest live snapshot and the last failed profile operation. It carries out the workspace's
// profile operations against the library and hands editing, settings and applying to the
// application through its callbacks. Lives on the main thread.
class WorkspaceModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application creates the workspace model")
    Q_PROPERTY(QString selectedID READ selectedID WRITE select NOTIFY selectedIDChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(double listScroll READ listScroll WRITE setListScroll NOTIFY scrollChanged)
    Q_PROPERTY(double detailScroll READ detailScroll WRITE setDetailScroll NOTIFY scrollChanged)
    Q_PROPERTY(int revision READ revision NOTIFY revisionChanged)
    Q_PROPERTY(bool effectsActive READ effectsActive NOTIFY effectsActiveChanged)
    Q_PROPERTY(bool noMatches READ noMatches NOTIFY noMatchesChanged)
    Q_PROPERTY(bool applying READ applying NOTIFY applyingChanged)
    Q_PROPERTY(bool profilesLocked READ profilesLocked NOTIFY profilesChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(norvane::ProfileRowsModel *profileList READ profileList CONSTANT)
    Q_PROPERTY(int selectedRow READ selectedRow NOTIFY selectedRowChanged)
    Q_PROPERTY(norvane::Announcement *announcement READ announcement CONSTANT)
    Q_PROPERTY(norvane::SelectedProfileView *selected READ selected CONSTANT)
    Q_PROPERTY(norvane::LiveStatusView *liveStatus READ liveStatus CONSTANT)
    Q_PROPERTY(norvane::ApplyFooterView *footer READ footer CONSTANT)
    Q_PROPERTY(norvane::NormalOffer *normalOffer READ normalOffer CONSTANT)
    Q_PROPERTY(bool showingRules READ showingRules NOTIFY pageChanged)
    Q_PROPERTY(norvane::RulesModel *rules READ rules NOTIFY pageChanged)
    Q_PROPERTY(norvane::SwitchingReason *reason READ reason NOTIFY pageChanged)

public:
    using Clock = std::function<QDateTime()>;

    // The profile fields the minute controls edit, with the factor between the control's
    // minutes and the stored value.
    enum MinuteField { DisplayMinutes, SleepMinutes, ScreenSaver, AutomaticReturn };
    Q_ENUM(MinuteField)

    // The keys that move the selection through the list.
    enum Move { Up, Down, Home, End };
    Q_ENUM(Move)

    // What the model takes from its surroundings; the defaults read the system.
    struct Environment {
        Clock clock;                             // the current time
        SystemReader readSystem;                 // one live read, off the main thread
        std::function<bool()> applicationActive; // the application is the active one
        // How many rules use a profile; none: no rules.
        std::function<qsizetype(const QString &)> rulesUsing;
        // The administrator's policy in force; none: the default one, which allows everything.
        std::function<Policy()> policy;
    };

    WorkspaceModel(SessionStore &store, ProfileLibrary &library, Environment environment = {},
                   QObject *parent = nullptr);
    ~WorkspaceModel() override;

    [[nodiscard]] SessionStore &store() const { return m_store; }
    [[nodiscard]] ProfileLibrary &library() const { return m_library; }

    [[nodiscard]] const QList<Profile> &profiles() const { return m_profiles; }
    [[nodiscard]] const QString &selectedID() const { return m_selectedID; }
    [[nodiscard]] const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    // How far the profile list and the detail column are scrolled (their content's top edge),
    // kept while the window's view is released.
    [[nodiscard]] double listScroll() const { return m_listScroll; }
    void setListScroll(double offset);
    [[nodiscard]] double detailScroll() const { return m_detailScroll; }
    void setDetailScroll(double offset);
    [[nodiscard]] const std::optional<SystemSettings> &snapshot() const { return m_snapshot; }
    [[nodiscard]] int revision() const { return m_revision; }
    [[nodiscard]] bool effectsActive() const { return m_effectsActive; }
    [[nodiscard]] const std::optional<QString> &error() const { return m_error; }
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }
    [[nodiscard]] bool reading() const { return m_reading; }
    // The applied profile's display, sleep or screen-saver time differs from the latest live read
    // (someone changed it in System Settings, or another tool did). Only a read started while
    // the current session was already in place counts, and nothing counts during an apply.
    [[nodiscard]] bool drifted() const;

    // The profile with selectedID, or the library's Normal when there is none.
    [[nodiscard]] Profile selectedProfile() const;
    // The profiles whose localized title contains the search text, in order.
    [[nodiscard]] QList<Profile> visibleProfiles() const;
    // A search is typed and no title contains it.
    [[nodiscard]] bool noMatches() const;
    // The session store's current session applied exactly this profile.
    [[nodiscard]] bool isApplied(const Profile &profile) const;
    // An apply or restore is in progress.
    [[nodiscard]] bool applying() const;
    [[nodiscard]] Policy policy() const;
    // The first limit of the policy `profile` goes past; none when it may be applied.
    [[nodiscard]] std::optional<Policy::Excess> forbidden(const Profile &profile) const;
    // The saved profiles could not be read: the factory presets are shown and nothing can be
    // changed until the damaged file is set aside.
    [[nodiscard]] bool profilesLocked() const;
    // The automatic return of the applied session failed and waits for Try Again.
    [[nodiscard]] bool returnFailed() const;

    // The selected profile's value in the control's unit (the stored value divided by the
    // field's scale).
    [[nodiscard]] qint64 minutes(MinuteField field) const;
    // Saves the selected profile with the field set to `value` times its scale; a time past the
    // policy's limit is refused and not saved.
    Q_INVOKABLE void setMinutes(norvane::WorkspaceModel::MinuteField field, qint64 value);

    void refreshProfiles();
    // The tick: effects, the revision, and a live read when one is due and `readSystem` holds.
    void refresh(bool readSystem);
    // The system told of a change: the next refresh reads again, even when a read was running.
    void markStale();

    Q_INVOKABLE void select(const QString &id);
    // The rules page in place of the selected profile's, until a profile is selected.
    Q_INVOKABLE void showRules();
    [[nodiscard]] bool showingRules() const { return m_showingRules; }
    [[nodiscard]] RulesModel *rules() const { return m_rules; }
    [[nodiscard]] SwitchingReason *reason() const { return m_reason; }
    // What the rules page shows; none until automatic switching has started.
    void setRules(RulesModel *rules, SwitchingReason *reason);
    // Up and Down select the visible profile before or after the selected one, stopping at the
    // ends; Home and End the first and the last. With the selected profile filtered out, Up and
    // End select the last visible one, Down and Home the first.
    Q_INVOKABLE void moveSelection(norvane::WorkspaceModel::Move move);
    // The selected profile's row among the visible ones; -1 when the search hides it.
    [[nodiscard]] int selectedRow() const;
    // Empties the search (Escape in the field); false when it was empty already.
    Q_INVOKABLE bool clearSearch();
    Q_INVOKABLE void edit();
    Q_INVOKABLE void newProfile();
    Q_INVOKABLE void openSettings();
    // Reads the live status now (the Refresh that a failed read asks for), unless a read runs.
    Q_INVOKABLE void readNow();
    // Applies the selected profile; one the policy forbids is refused with the reason.
    Q_INVOKABLE void apply();
    Q_INVOKABLE void duplicate();
    Q_INVOKABLE void resetToFactorySettings();
    Q_INVOKABLE void deleteProfile();
    // Deletes the profile (undoably) and says how many rules use it, which are kept as broken.
    void deleteProfile(const QString &id);
    Q_INVOKABLE void dismissError();
    Q_INVOKABLE void setAsideDamagedProfiles();
    // Runs an item of the profile-actions menu by its name: "edit", "duplicate", "reset" or
    // "delete"; anything else is ignored.
    Q_INVOKABLE void perform(const QString &action);

    [[nodiscard]] ProfileRowsModel *profileList() const { return m_profileList; }
    [[nodiscard]] SelectedProfileView *selected() const { return m_selected; }
    [[nodiscard]] LiveStatusView *liveStatus() const { return m_liveStatus; }
    [[nodiscard]] ApplyFooterView *footer() const { return m_footer; }
    [[nodiscard]] NormalOffer *normalOffer() const { return m_normalOffer; }
    // What the window tells screen readers: how an apply or restore ended (a failure has its
    // alert), and that the applied settings were changed outside Pellor.
    [[nodiscard]] Announcement *announcement() const { return m_announcement; }

    // Runs a library operation; a failure becomes the error and leaves everything else as it is.
    bool attempt(const std::function<void()> &operation);

    std::function<void(std::optional<Profile>)> onEdit;
    std::function<void()> onSettings;
    std::function<void(const Profile &, qint64)> onActivate;
    std::function<void()> onSetAsideProfiles;

    static constexpr qint64 readInterval = 5000; // milliseconds between live reads

signals:
    void profilesChanged();
    void selectedIDChanged();
    void searchChanged();
    void scrollChanged();
    void snapshotChanged();
    void revisionChanged();
    void effectsActiveChanged();
    void errorChanged();
    void noMatchesChanged();
    void applyingChanged();
    void selectedRowChanged();
    void pageChanged();

private:
    void setSelectedID(const QString &id);
    void setError(const std::optional<QString> &error);
    void updateDerivedFlags();
    void startRead();
    // Tells screen readers when a read first finds the applied settings changed outside Pellor.
    void announceDrift();

    SessionStore &m_store;
    ProfileLibrary &m_library;
    Environment m_environment;
    QList<Profile> m_profiles;
    QString m_selectedID = Profile::normal().id;
    QString m_search;
    double m_listScroll = 0;
    double m_detailScroll = 0;
    std::optional<SystemSettings> m_snapshot;
    int m_revision = 0;
    bool m_effectsActive = false;
    std::optional<QString> m_error;
    bool m_reading = false;
    std::optional<QDateTime> m_lastRead;      // none: never read
    bool m_staleWhileReading = false;         // the running read may miss a change
    std::optional<Session> m_snapshotSession; // the applied session when the snapshot's read began
    bool m_wasApplying = false;
    bool m_noMatches = false;
    bool m_applying = false;
    bool m_wasDrifted = false;

    ProfileRowsModel *m_profileList;
    SelectedProfileView *m_selected;
    LiveStatusView *m_liveStatus;
    ApplyFooterView *m_footer;
    Announcement *m_announcement;
    NormalOffer *m_normalOffer;
    RulesModel *m_rules = nullptr;
    SwitchingReason *m_reason = nullptr;
    bool m_showingRules = false;
};

} // namespace norvane
