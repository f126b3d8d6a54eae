#pragma once

#include "Components/SystemReader.h"
#include "Editor/ProfileEditor.h"
#include "FontPreloader.h"
#include "MainMenu.h"
#include "MainWindow.h"
#include "Managed/ManagedSettings.h"
#include "MenuBar/MenuBarController.h"
#include "MenuKeyRouter.h"
#include "Platform/LoginItem.h"
#include "Profiles/Profile.h"
#include "Rules/RuleEditor.h"
#include "Sessions/SessionStore.h"
#include "Settings/SettingsWindow.h"
#include "ViewLifetime.h"
#include "Workspace/DashboardController.h"
#include "Worlds/World.h"

#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QMessageBox;
class QTimer;

namespace norvane {

class AdministratorFolderWatcher;
class DamagedFileAlerts;
class ExternalDisplays;
class NoticeCentre;
class RuleNoticesPreference;
class RuleNotifier;
class ProfileLibrary;
class RuleBook;
class RuleSwitcher;
class SwitchingReason;
class ProfileStorage;
class SessionRecord;

// The application's entry object: owns the profile library, the session store and the windows'
// models, creates the main window with the workspace, builds the main menu, runs the one-second
// tick and refuses to quit while a profile is being applied. Everything runs on the main thread.
//
// Once the main window, the settings window and the quick panel have all been closed for a
// moment (releaseDelay), ViewLifetime has their views released; the models stay, and the next
// open builds the view again over them.
//
// The status item with its quick panel, the profile editor and the settings window plug into
// closeQuickPanel(), openEditor() and openSettingsWindow().
class AppDelegate : public QObject, public MainMenuTarget {
    Q_OBJECT

public:
    // What the delegate would otherwise take from the system; tests replace parts of it.
    struct Options {
        std::shared_ptr<ProfileStorage> storage;    // none: the profiles file
        std::shared_ptr<Configuring> configuration; // none: the Mac configuration service
        SessionStore::Clock clock;                  // none: the system time
        SystemReader readSystem;                    // none: SystemSettings::read() off-thread
        QuickPanelModel::PowerReader readPower;     // none: PowerStatus::read()
        std::shared_ptr<LoginItem> loginItem;       // none: LoginItem::system()
        std::shared_ptr<const SessionRecord> sessionRecord; // none: beside the profiles file
        std::function<void()> quitApplication;              // none: QCoreApplication::quit()
        // How long every window stays closed before the views are released, so that a panel
        // opened again at once is not built again; none: defaultReleaseDelay.
        std::optional<std::chrono::milliseconds> releaseDelay;
        // Where a switch of the rules is told; none: the status item's message alone.
        std::function<NoticeCentre *(QObject *parent)> noticeCentre;
        // Whether the computer has a built-in panel, for counting external displays; none: the
        // kernel's display connectors.
        std::function<bool()> hasBuiltInPanel;
        // Started by Open at Login: into the status item, the main window only without a tray.
        // (No initializer: GCC cannot use one in the constructor's default argument; the
        // braces every caller writes make it false.)
        bool openedAtLogin;
    };
    static constexpr std::chrono::milliseconds defaultReleaseDelay{2000};

    explicit AppDelegate(Options options = {}, QObject *parent = nullptr);
    ~AppDelegate() override;

    // The start-up sequence: appearance, main menu, session store, workspace, main window (not
    // when opened at login into a status item), status item, one refresh, the tick, then the
    // library's load error if there is one.
    void applicationDidFinishLaunching();
    // False, with an alert, while a profile is being applied; false too while a timed profile
    // runs, asking whether to return to Normal first.
    [[nodiscard]] bool applicationShouldTerminate();
    // The system asks Pellor to end (SIGTERM, SIGINT): an apply under way finishes first
    // (verified or rolled back), then Pellor quits without asking.
    void terminateWhenIdle();
    void applicationWillTerminate();
    // The application was opened again (a second launch): shows the main window.
    bool applicationShouldHandleReopen();

    // Main menu actions.
    void about() override;
    void showSettings() override;
    [[nodiscard]] std::optional<bool> opensAtLogin() const override;
    void setOpensAtLogin(bool open) override;
    [[nodiscard]] std::optional<bool> notifiesWhenRulesSwitch() const override;
    void setNotifiesWhenRulesSwitch(bool notify) override;
    void hideApplication() override;
    void hideOtherApplications() override;
    void unhideAllApplications() override;
    void quit() override;
    void switchProfile(const QVariant &represented) override;
    void newProfile() override;
    void undoProfileDeletion() override;
    void sendStandardEdit(QKeySequence::StandardKey key) override;
    [[nodiscard]] bool canSendStandardEdit(QKeySequence::StandardKey key) const override;
    void showMenuBar() override;
    void changeAppearance(int choice) override;
    void showWindow() override;
    void minimizeWindow() override;
    void closeWindow() override;

    void buildMainMenu();
    // The tick's and every session change's refresh of the views; shows a pending session
    // error once.
    void refresh();
    // Opens the editor for `profile`, or for a new profile when none.
    void editProfile(const std::optional<Profile> &profile);
    void showProfileError(const QString &message);
    // Applies `profile` through the session store; `minutes` overrides its automatic return.
    QFuture<void> activate(const Profile &profile, std::optional<qint64> minutes);

    [[nodiscard]] ProfileLibrary &library() { return *m_library; }
    // Automatic switching, once started.
    [[nodiscard]] RuleSwitcher *rules() const { return m_rules; }
    // Whether the rules' switches are told in a notice, for a toggle to bind to.
    [[nodiscard]] RuleNoticesPreference *ruleNotices() const { return m_ruleNotices; }
    // Created on first use.
    [[nodiscard]] SessionStore &store();
    // None while the main window is closed and released.
    [[nodiscard]] MainWindow *window() const { return m_window; }
    [[nodiscard]] DashboardController *dashboard() const { return m_dashboard; }
    // The main window's state, kept while its view is released.
    [[nodiscard]] WorkspaceModel *workspace() const { return m_workspace; }
    [[nodiscard]] QMenuBar *mainMenu() const { return m_menuKeys.menu(); }
    [[nodiscard]] QTimer *timer() const { return m_timer; }
    // Runs out releaseDelay after the last window closed.
    [[nodiscard]] QTimer *releaseTimer() const { return m_viewLifetime->timer(); }
    [[nodiscard]] MenuBarController *menuBar() const { return m_menuBar; }
    // Created on showSettings(); none again once closed and released.
    [[nodiscard]] SettingsWindow *settingsWindow() const { return m_settingsWindow; }
    // The open editor sheet, if any.
    [[nodiscard]] ProfileEditor *profileEditor() const { return m_profileEditor; }
    [[nodiscard]] RuleEditor *ruleEditor() const { return m_ruleEditor; }
    // The rule editor on the person's rule at this index of the rule book; none: a new rule.
    void openRuleEditor(std::optional<qsizetype> index);
    [[nodiscard]] RuleBook *ruleBook() const { return m_ruleBook.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void installCallbacks();
    // Reads the rules and lets them switch from now on.
    void startRules();
    // Reads the administrator's folder again and puts what it holds in force: the managed
    // profiles, the managed rules and the policy the views follow. A file left out is told once.
    void readAdministratorFolder();
    // Tells of the rules' switches from now on.
    void startRuleNotices();
    // The system told of a change: every open view reads it now.
    void systemChanged();
    // Shows the main window, building it and its view first when there is none.
    void showMainWindow();
    // Releases every view there is, keeping what the next one is built with; true when there
    // was one.
    bool releaseViews();
    void startTimer();
    void tick();
    QMessageBox *showAlert(const QString &title, const QString &message,
                           Qt::WindowModality modality);
    void showSessionError(const QString &message);
    void askBeforeQuitting();
    void returnToNormalAndQuit();
    void quitNow();
    [[nodiscard]] QDateTime now() const;

    // Seams for the status item, the editor and the settings window.
    void closeQuickPanel();
    void openEditor(const std::optional<Profile> &profile);
    void openSettingsWindow();
    void createMenuBar();

    FontPreloader m_fontPreloader; // first, so that it starts before anything else is built
    Options m_options;
    std::shared_ptr<LoginItem> m_loginItem; // none where the system offers no login item
    std::unique_ptr<ProfileLibrary> m_library;
    SessionStore *m_store = nullptr;
    QPointer<MainWindow> m_window;
    QPointer<DashboardController> m_dashboard;
    WorkspaceModel *m_workspace = nullptr;
    SettingsModel *m_settingsModel = nullptr;
    SleepDiagnosisModel *m_sleepDiagnosis = nullptr;
    QByteArray m_settingsFrame; // the settings window's geometry when it was released
    MenuKeyRouter m_menuKeys;
    QTimer *m_timer = nullptr;
    ViewLifetime *m_viewLifetime;
    DamagedFileAlerts *m_damagedFiles;
    bool m_editorOpen = false;
    MenuBarController *m_menuBar = nullptr;
    QPointer<SettingsWindow> m_settingsWindow;
    QPointer<ProfileEditor> m_profileEditor;
    QPointer<RuleEditor> m_ruleEditor;
    std::unique_ptr<SystemWatcher> m_systemWatcher; // none where the system does not tell
    std::unique_ptr<RuleBook> m_ruleBook;
    RuleSwitcher *m_rules = nullptr; // from the start, after the store
    SwitchingReason *m_switchingReason = nullptr;
    ManagedSettings m_managed;       // as the administrator's folder was last read
    AdministratorFolderWatcher *m_administratorWatcher = nullptr; // from the start
    RuleNoticesPreference *m_ruleNotices;
    ExternalDisplays *m_displays = nullptr; // with the rules
    RuleNotifier *m_ruleNotifier = nullptr; // with the rules
    bool m_quitConfirmed = false; // the person chose to quit (or the system asked): no question
    bool m_quitWhenIdle = false;  // quit once the apply under way has finished
};

} // namespace norvane
