#include "AppDelegate.h"

#include "Alerts.h"
#include "Appearance.h"
#include "Components/Accessibility.h"
#include "Components/WhenFinished.h"
#include "DamagedFileAlerts.h"
#include "ExternalDisplays.h"
#include "Localization/L10n.h"
#include "MainWindow.h"
#include "Managed/AdministratorFolderWatcher.h"
#include "Managed/ManagedSettings.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "RuleNotifier.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleNoticesPreference.h"
#include "Rules/RuleSwitcher.h"
#include "Rules/RulesModel.h"
#include "Rules/SwitchingReason.h"
#include "Sessions/SessionRecord.h"
#include "StandardEdit.h"
#include "Workspace/DashboardController.h"
#include "Workspace/WorkspaceModel.h"
#include "Worlds/World.h"

#include <QApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace norvane {

// Off unless enabled (QT_LOGGING_RULES="norvane.menu.info=true"): the menus as built.
Q_LOGGING_CATEGORY(lcMenu, "norvane.menu", QtWarningMsg)

namespace {

std::shared_ptr<ProfileStorage> storageOrDefault(std::shared_ptr<ProfileStorage> storage) {
    return storage ? std::move(storage) : std::make_shared<FileProfileStorage>();
}

} // namespace

AppDelegate::AppDelegate(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)),
      m_loginItem(m_options.loginItem ? m_options.loginItem
                                      : std::shared_ptr<LoginItem>(LoginItem::system())),
      m_library(std::make_unique<ProfileLibrary>(storageOrDefault(m_options.storage))),
      m_ruleNotices(new RuleNoticesPreference(this)) {
    Accessibility::install();
    m_damagedFiles = new DamagedFileAlerts(
        *m_library, {[this] { return now().date(); }, [this] { return m_window.data(); }}, this);
    m_viewLifetime =
        new ViewLifetime(m_options.releaseDelay.value_or(defaultReleaseDelay),
                         {[this] { return m_editorOpen || (m_menuBar && m_menuBar->isShown()); },
                          [this] { return releaseViews(); }},
                         this);
    qApp->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
#if QT_CONFIG(sessionmanager)
    // Logging out never waits for a question: the session is kept and resumes at the next start.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (m_store && m_store->isApplying())
            manager.cancel();
        else
            m_quitConfirmed = true;
    });
#endif
}

AppDelegate::~AppDelegate() {
    m_library->onChange = nullptr;
    // Before the store it switches with, and after what listens to it.
    delete m_ruleNotifier;
    delete m_rules;
    delete m_menuBar;
    delete m_settingsWindow;
    delete m_window;
    // The models before the store and the library they use.
    delete m_settingsModel;
    delete m_workspace;
}

SessionStore &AppDelegate::store() {
    if (!m_store) {
        QPointer<AppDelegate> self(this);
        m_store = new SessionStore(
            m_options.configuration, m_options.clock,
            [self] { return self ? self->m_library->normal() : Profile::normal(); }, this);
        m_store->keepSessionsIn(m_options.sessionRecord ? m_options.sessionRecord
                                                        : SessionRecord::ofCurrentSystem());
    }
    return *m_store;
}

void AppDelegate::applicationDidFinishLaunching() {
    Appearance::apply(Appearance::storedChoice());
    buildMainMenu();

    WorkspaceModel::Environment environment;
    environment.clock = m_options.clock;
    environment.readSystem = m_options.readSystem;
    environment.rulesUsing = [this](const QString &id) {
        return m_ruleBook ? m_ruleBook->uses(id) : 0;
    };
    environment.policy = [this] { return m_managed.policyInForce(); };
    m_workspace = new WorkspaceModel(store(), *m_library, environment, this);
    installCallbacks();
    if (m_options.openedAtLogin) {
        createMenuBar();
        if (!m_menuBar->statusItem())
            showMainWindow(); // without a tray the window is the only way in
    } else {
        showMainWindow();
        createMenuBar();
    }

    m_systemWatcher = currentWorld()->watch();
    if (m_systemWatcher)
        connect(m_systemWatcher.get(), &SystemWatcher::changed, this, &AppDelegate::systemChanged);
    startRules();
    // A session whose time ran out while Pellor was closed returns to Normal now.
    store().tick(now());
    refresh();
    startTimer();
    m_damagedFiles->showProfilesLoadError();
    m_damagedFiles->showRulesLoadError(*m_ruleBook);
}

void AppDelegate::startRules() {
    // What the administrator deploys: managed profiles beside the person's, managed rules before
    // theirs, and a profile to start with; read again whenever the folder changes.
    readAdministratorFolder();
    m_administratorWatcher = new AdministratorFolderWatcher(m_managed.folder(), this);
    connect(m_administratorWatcher, &AdministratorFolderWatcher::changed, this,
            &AppDelegate::readAdministratorFolder);
    const ManagedSettings &managed = m_managed;
    m_ruleBook = std::make_unique<RuleBook>();
    m_displays = new ExternalDisplays(m_options.hasBuiltInPanel, this);
    m_rules = new RuleSwitcher(store(), *m_library, *m_ruleBook,
                               {currentWorld(),
                                m_options.clock,
                                QTimeZone::systemTimeZone(),
                                {},
                                RuleSwitcher::Environment().pollMilliseconds,
                                managed.rules(),
                                managed.policyInForce().allowRules,
                                [displays = m_displays] { return displays->count(); }},
                               this);
    connect(m_displays, &ExternalDisplays::changed, m_rules, &RuleSwitcher::readAgain);
    startRuleNotices();
    QPointer<RuleSwitcher> rules(m_rules);
    store().onRetryRules = [rules] {
        if (rules)
            rules->retry();
    };
    // A session kept from before the restart outranks the start profile, and either outranks
    // the rules at start.
    const bool kept = store().hasAppliedProfile();
    const std::optional<Profile> start = kept ? std::nullopt : managed.startProfile(*m_library);
    if (start)
        (void)store().activate(*start, std::nullopt, now());
    m_rules->start(kept || start);

    m_switchingReason = new SwitchingReason(store(), *m_rules, this);
    auto *rulesModel = new RulesModel(*m_ruleBook, *m_library, m_rules, m_ruleNotices, this);
    QPointer<AppDelegate> self(this);
    rulesModel->onEdit = [self](std::optional<qsizetype> index) {
        if (self)
            self->openRuleEditor(index);
    };
    m_workspace->setRules(rulesModel, m_switchingReason);
    if (m_menuBar)
        m_menuBar->setSwitchingReason(m_switchingReason);
}

void AppDelegate::openRuleEditor(std::optional<qsizetype> index) {
    if (m_editorOpen || (index && *index >= m_ruleBook->rules().size()))
        return;
    QPointer<AppDelegate> self(this);
    const auto onSave = [self, index](const Rule &rule) {
        if (!self)
            return;
        if (index)
            self->m_ruleBook->replace(*index, rule);
        else
            self->m_ruleBook->add(rule);
        self->m_rules->rulesEdited();
    };
    m_ruleEditor = new RuleEditor(
        index ? std::optional(m_ruleBook->rules().at(*index)) : std::nullopt, *m_library, onSave);
    m_ruleEditor->onClose = [self] {
        if (self)
            self->m_editorOpen = false;
    };
    m_editorOpen = true;
    m_menuKeys.answerKeys(m_ruleEditor);
    m_ruleEditor->present(m_window);
}

void AppDelegate::readAdministratorFolder() {
    m_managed = ManagedSettings::load();
    for (const QString &problem : m_managed.problems())
        qWarning().noquote() << "Pellor:" << problem;
    m_damagedFiles->showAdministratorProblems(m_managed.problems());
    m_managed.administer(*m_library);
    if (m_rules)
        m_rules->administer(m_managed.rules(), m_managed.policyInForce().allowRules);
}

void AppDelegate::startRuleNotices() {
    RuleNotifier::Environment environment;
    if (m_options.noticeCentre)
        environment.centre = m_options.noticeCentre(this);
    QPointer<AppDelegate> self(this);
    environment.showMessage = [self](const QString &summary, const QString &body) {
        if (self && self->m_menuBar)
            self->m_menuBar->showMessage(summary, body);
    };
    environment.announce = [self](const QString &text) {
        if (self && self->m_workspace)
            self->m_workspace->announcement()->announce(text);
    };
    environment.apply = [self](const QString &profileId) {
        if (!self)
            return;
        const std::optional<Profile> profile = self->m_library->profileOrNormal(profileId);
        if (profile)
            (void)self->activate(*profile, std::nullopt);
    };
    m_ruleNotifier =
        new RuleNotifier(*m_rules, *m_library, *m_ruleNotices, std::move(environment), this);
}

void AppDelegate::installCallbacks() {
    QPointer<AppDelegate> self(this);
    store().onChange = [self] {
        if (self)
            self->refresh();
    };
    m_library->onChange = [self] {
        if (!self)
            return;
        if (self->m_workspace)
            self->m_workspace->refreshProfiles();
        // A rule whose profile was deleted shows as broken.
        if (self->m_workspace && self->m_workspace->rules())
            self->m_workspace->rules()->refresh();
        self->buildMainMenu();
        if (self->m_menuBar)
            self->m_menuBar->refresh();
    };
    WorkspaceModel *model = m_workspace;
    model->onEdit = [self](const std::optional<Profile> &profile) {
        if (self)
            self->editProfile(profile);
    };
    model->onSettings = [self] {
        if (self)
            self->showSettings();
    };
    model->onActivate = [self](const Profile &profile, qint64 minutes) {
        if (self)
            self->activate(profile, minutes);
    };
    model->onSetAsideProfiles = [self] {
        if (self)
            self->m_damagedFiles->setAsideProfiles();
    };
}

void AppDelegate::systemChanged() {
    if (m_workspace)
        m_workspace->markStale();
    if (m_settingsModel)
        m_settingsModel->markStale();
    if (m_menuBar)
        m_menuBar->model()->refresh(true);
    refresh();
}

void AppDelegate::showMainWindow() {
    if (!m_window) {
        // The window comes first so the workspace view is built in place: a QQuickWidget that
        // moves into another window later rebuilds its scene. The model catches up with what
        // happened while there was no view before the view's first frame.
        m_window = new MainWindow;
        m_workspace->refresh(false);
        m_dashboard = new DashboardController(m_workspace, m_window);
        m_window->setCentralWidget(m_dashboard);
        m_viewLifetime->track(m_window);
        if (QMenuBar *menu = m_menuKeys.menu())
            m_menuKeys.install(menu, m_window);
    }
    m_viewLifetime->shown(m_window);
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool AppDelegate::releaseViews() {
    bool released = false;
    if (m_settingsWindow) {
        m_settingsFrame = m_settingsWindow->saveGeometry();
        delete m_settingsWindow;
        released = true;
    }
    if (m_window) {
        delete m_window; // the workspace view and the menu bar go with it
        released = true;
        // The menu stands alone until the window is back (on macOS it is the global menu bar).
        buildMainMenu();
    }
    if (m_menuBar && m_menuBar->popover()) {
        m_menuBar->releasePanel();
        released = true;
    }
    return released;
}

void AppDelegate::startTimer() {
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &AppDelegate::tick);
    m_timer->start();
}

void AppDelegate::tick() {
    Q_ASSERT(QThread::currentThread() == thread());
    store().tick(now());
    refresh();
}

bool AppDelegate::applicationShouldTerminate() {
    if (m_store && m_store->isApplying()) {
        QMessageBox *alert = showAlert(
            systemText("Complete or Cancel Authorization First", "Wait Until Settings Are Saved"),
            L10n::text(
                "Wait until settings are saved so verification or rollback can finish before quitting."),
            Qt::ApplicationModal);
        alert->setObjectName(QStringLiteral("quitGuardAlert"));
        return false;
    }
    if (m_quitConfirmed || !m_store || !m_store->hasAppliedProfile() ||
        !m_store->session().deadline)
        return true;
    askBeforeQuitting();
    return false;
}

void AppDelegate::askBeforeQuitting() {
    auto *question = new QMessageBox(QMessageBox::Question, QStringLiteral("Pellor"),
                                     L10n::text({"{0} returns to Normal only while Pellor is open.",
                                                 {m_store->profile().localizedTitle()}}),
                                     QMessageBox::NoButton, m_window);
    question->setObjectName(QStringLiteral("quitQuestion"));
    question->setInformativeText(L10n::text(
        "If you quit now, the timer goes on when Pellor starts again, and Normal is applied at once if its time has run out by then."));
    Alerts::style(*question);
    QPushButton *returnFirst =
        question->addButton(L10n::text("Return to Normal and Quit"), QMessageBox::AcceptRole);
    QPushButton *quitAnyway = question->addButton(L10n::text("Quit"), QMessageBox::DestructiveRole);
    question->addButton(L10n::text("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(returnFirst);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this, question, returnFirst, quitAnyway] {
        if (question->clickedButton() == returnFirst)
            returnToNormalAndQuit();
        else if (question->clickedButton() == quitAnyway)
            quitNow();
    });
    question->setWindowModality(m_window ? Qt::WindowModal : Qt::ApplicationModal);
    question->show();
}

void AppDelegate::returnToNormalAndQuit() {
    const QFuture<void> returned = activate(m_library->normal(), std::nullopt);
    // A failed return shows its alert and Pellor stays open, the timed profile still in place.
    whenFinished(this, returned, [this](const QFuture<void> &) {
        if (store().lastOutcome().kind == SessionStore::Outcome::Kind::applied)
            quitNow();
    });
}

void AppDelegate::quitNow() {
    m_quitConfirmed = true;
    if (m_options.quitApplication)
        m_options.quitApplication();
    else
        QCoreApplication::quit();
}

void AppDelegate::terminateWhenIdle() {
    m_quitWhenIdle = true;
    if (!store().isApplying())
        quitNow();
}

void AppDelegate::applicationWillTerminate() {
    if (m_timer)
        m_timer->stop();
}

bool AppDelegate::applicationShouldHandleReopen() {
    showWindow();
    return true;
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event) {
    // The platform's request to quit (the Dock's Quit, logging out) passes here.
    if (event->type() == QEvent::Quit && watched == qApp && !applicationShouldTerminate()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// MARK: Menu actions

void AppDelegate::about() {
    auto *panel = new QMessageBox(m_window);
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setWindowTitle(L10n::text("About Pellor"));
    panel->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    const QString version = QCoreApplication::applicationVersion();
    panel->setText(QStringLiteral("<b>Pellor</b><br>%1")
                       .arg(version.isEmpty() ? QStringLiteral("1.2") : version));
    panel->setInformativeText(systemText(
        "Switch your Mac settings with ease.\nBuilt with Qt and C++ · Settings presets",
        "Switch your {0} settings with ease.\nBuilt with Qt and C++ · Settings presets"));
    panel->setDefaultButton(panel->addButton(L10n::text("OK"), QMessageBox::AcceptRole));
    Alerts::style(*panel);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::NonModal);
    panel->show();
}

void AppDelegate::showSettings() {
    closeQuickPanel();
    openSettingsWindow();
}

std::optional<bool> AppDelegate::opensAtLogin() const {
    if (!m_loginItem)
        return std::nullopt;
    return m_loginItem->isEnabled();
}

void AppDelegate::setOpensAtLogin(bool open) {
    if (!m_loginItem)
        return;
    try {
        m_loginItem->setEnabled(open);
    } catch (const PlatformError &error) {
        showAlert(L10n::text("Could Not Change Open at Login"), error.description(),
                  Qt::WindowModal);
    }
}

std::optional<bool> AppDelegate::notifiesWhenRulesSwitch() const {
    return m_ruleNotices->isEnabled();
}

void AppDelegate::setNotifiesWhenRulesSwitch(bool notify) {
    m_ruleNotices->setEnabled(notify);
}

void AppDelegate::hideApplication() {
    // Pellor's own windows only: the status item stays, as it does on a Mac.
    closeQuickPanel();
    m_viewLifetime->hideWindows();
}

void AppDelegate::hideOtherApplications() {
    // Only macOS lets one application hide the others; elsewhere there is nothing to do.
}

void AppDelegate::unhideAllApplications() {
    m_viewLifetime->unhideWindows();
}

void AppDelegate::quit() {
    if (applicationShouldTerminate())
        quitNow();
}

void AppDelegate::switchProfile(const QVariant &represented) {
    if (represented.typeId() != QMetaType::QString)
        return;
    const std::optional<Profile> profile = m_library->profile(represented.toString());
    if (!profile || store().isApplying())
        return;
    closeQuickPanel();
    activate(*profile, std::nullopt);
}

void AppDelegate::newProfile() {
    editProfile(std::nullopt);
}

void AppDelegate::undoProfileDeletion() {
    try {
        // The profile back is the one to look at, as after saving it.
        if (const std::optional<Profile> restored = m_library->undoDeletion();
            restored && m_workspace)
            m_workspace->select(restored->id);
    } catch (const std::exception &error) {
        showProfileError(localizedDescription(error));
    }
}

void AppDelegate::sendStandardEdit(QKeySequence::StandardKey key) {
    StandardEdit::perform(key);
}

bool AppDelegate::canSendStandardEdit(QKeySequence::StandardKey key) const {
    return StandardEdit::target(key) != nullptr;
}

void AppDelegate::showMenuBar() {
    if (m_menuBar)
        m_menuBar->toggle();
}

void AppDelegate::changeAppearance(int choice) {
    Appearance::storeChoice(choice);
    Appearance::apply(choice);
}

void AppDelegate::showWindow() {
    closeQuickPanel();
    if (m_workspace) // none before start-up
        showMainWindow();
}

void AppDelegate::minimizeWindow() {
    if (QWidget *target =
            QApplication::activeWindow() ? QApplication::activeWindow() : m_window.data())
        target->showMinimized();
}

void AppDelegate::closeWindow() {
    if (QWidget *target =
            QApplication::activeWindow() ? QApplication::activeWindow() : m_window.data())
        target->close();
}

// MARK: Internal operations

void AppDelegate::buildMainMenu() {
    MainMenu::State state;
    for (const Profile &profile : m_library->profiles())
        state.profiles << MainMenu::ProfileItem{
            profile.id, profile.localizedTitle(),
            m_managed.policyInForce().excesses(profile).isEmpty()};
    state.canUndoDeletion = m_library->canUndoDeletion();
    state.appearanceChoice = Appearance::storedChoice();
#ifdef Q_OS_MACOS
    state.includeHideItems = false;
#endif
    QMenuBar *menuBar = MainMenu::build(state, *this);
    m_menuKeys.install(menuBar, m_window);
    QStringList titles;
    for (const QAction *menu : menuBar->actions())
        titles << menu->text();
    qCInfo(lcMenu).noquote() << "main menu:" << titles.join(QStringLiteral(" | "));
}

void AppDelegate::refresh() {
    if (m_quitWhenIdle && !store().isApplying())
        return quitNow();
    if (m_dashboard)
        m_dashboard->refresh();
    if (m_settingsWindow && m_settingsWindow->isVisible())
        m_settingsWindow->model()->update(false);
    if (m_menuBar) {
        const auto &snapshot = m_dashboard ? m_dashboard->model()->snapshot() : std::nullopt;
        m_menuBar->model()->setDrifted(m_dashboard && m_dashboard->model()->drifted());
        m_menuBar->model()->setSleepDisabled(snapshot && snapshot->sleepDisabled.value_or(false));
        m_menuBar->refresh();
    }
    if (const std::optional<QString> message = store().errorMessage()) {
        store().setErrorMessage(std::nullopt);
        showSessionError(*message);
    }
}

void AppDelegate::showSessionError(const QString &message) {
    closeQuickPanel();
    showWindow();
    QMessageBox *alert =
        showAlert(store().failedToRestore() ? L10n::text("Could Not Restore Original Settings")
                                            : L10n::text("Could Not Switch Profile"),
                  message, Qt::WindowModal);
    alert->setObjectName(QStringLiteral("switchErrorAlert"));
    if (const std::optional<QString> damaged = store().damagedFile())
        m_damagedFiles->offerToSetAsideBackup(
            alert, *damaged,
            store().hasAppliedProfile() ? std::optional(store().profile().localizedTitle())
                                        : std::nullopt);
}

void AppDelegate::editProfile(const std::optional<Profile> &profile) {
    if (store().isApplying() || m_editorOpen)
        return;
    if (m_library->loadError())
        return m_damagedFiles->showProfilesLoadError();
    closeQuickPanel();
    showWindow();
    openEditor(profile);
}

void AppDelegate::showProfileError(const QString &message) {
    QMessageBox *alert = showAlert(L10n::text("Could Not Save Profile"), message, Qt::WindowModal);
    alert->setObjectName(QStringLiteral("profileErrorAlert"));
}

QFuture<void> AppDelegate::activate(const Profile &profile, std::optional<qint64> minutes) {
    return store().activate(profile, minutes, now());
}

QMessageBox *AppDelegate::showAlert(const QString &title, const QString &message,
                                    Qt::WindowModality modality) {
    return Alerts::show(m_window, title, message, modality);
}

QDateTime AppDelegate::now() const {
    return m_options.clock ? m_options.clock() : QDateTime::currentDateTime();
}

// MARK: Seams for the status item, the editor and the settings window

void AppDelegate::closeQuickPanel() {
    if (m_menuBar)
        m_menuBar->closePopover();
}

void AppDelegate::openEditor(const std::optional<Profile> &profile) {
    QPointer<AppDelegate> self(this);
    std::optional<ProfileEditorModel::Delete> onDelete;
    if (profile && !profile->isPreset()) {
        onDelete = [self, id = profile->id] {
            if (self && self->m_workspace)
                self->m_workspace->deleteProfile(id);
        };
    }
    const auto onSave = [self](const Profile &edited) {
        if (!self)
            return;
        // Refused here, beside the field, rather than at the first apply.
        if (const std::optional<QString> refused = currentWorld()->cannotHold(edited))
            throw ConfigurationError::message(*refused);
        self->m_library->save(edited);
        if (self->m_workspace)
            self->m_workspace->select(edited.id);
    };
    m_profileEditor = new ProfileEditor(profile, onSave, onDelete, m_managed.policyInForce());
    m_profileEditor->onClose = [self] {
        if (self)
            self->m_editorOpen = false;
    };
    m_editorOpen = true;
    m_menuKeys.answerKeys(m_profileEditor);
    m_profileEditor->present(m_window);
}

void AppDelegate::openSettingsWindow() {
    if (!m_settingsModel)
        m_settingsModel =
            new SettingsModel(store(), {m_options.clock, m_options.readSystem, {}, {}}, this);
    if (!m_sleepDiagnosis)
        m_sleepDiagnosis = new SleepDiagnosisModel(*m_settingsModel, store(), {}, this);
    if (!m_settingsWindow) {
        m_settingsWindow = new SettingsWindow(m_settingsModel, m_sleepDiagnosis);
        if (!m_settingsFrame.isEmpty())
            m_settingsWindow->restoreGeometry(m_settingsFrame);
        m_viewLifetime->track(m_settingsWindow);
        m_menuKeys.answerKeys(m_settingsWindow);
    }
    m_viewLifetime->shown(m_settingsWindow);
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
    if (m_settingsWindow->isVisible())
        m_settingsWindow->model()->update(true);
}

void AppDelegate::createMenuBar() {
    const auto systemInk = [] { return Appearance::systemPalette().color(QPalette::WindowText); };
    m_menuBar = new MenuBarController(
        store(), *m_library,
        {{m_options.clock, m_options.readPower, [this] { return m_managed.policyInForce(); }},
         {},
         systemInk},
        this);
    QPointer<AppDelegate> self(this);
    m_menuBar->onOpen = [self] {
        if (self)
            self->showWindow();
    };
    m_menuBar->onSettings = [self] {
        if (self)
            self->showSettings();
    };
    m_menuBar->onNew = [self] {
        if (self)
            self->editProfile(std::nullopt);
    };
    m_menuBar->onQuit = [self] {
        if (self)
            self->quit();
    };
    connect(m_menuBar, &MenuBarController::shownChanged, this, [this](bool shown) {
        if (!shown)
            m_viewLifetime->viewClosed();
    });
}

} // namespace norvane
