// The quick panel, the profile editor sheet and the settings window as a person meets them: the
// real windows with the real QML, opened through the application delegate, against the
// simulated Mac. Screenshots of each in light and dark go to the build folder.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatorState.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

QQuickItem *itemIn(QQuickWidget *view, const QString &name) {
    return view ? findItem(view->quickWindow()->contentItem(), name) : nullptr;
}

QString textIn(QQuickWidget *view, const QString &name) {
    return textOf(itemIn(view, name));
}

void clickIn(QQuickWidget *view, const QString &name) {
    QQuickItem *target = nullptr;
    if (!waitUntil([&] {
            target = itemIn(view, name);
            return shown(target) && target->isEnabled();
        })) {
        if (view)
            view->window()->grab().save(screenshotPath("failure-" + name));
        FAIL() << name.toStdString() << " is not shown and enabled";
    }
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(view, Qt::LeftButton, {}, centre.toPoint());
}

// Waits for the next frames so a grab shows the current state.
void settle(QQuickWidget *view) {
    view->quickWindow()->update();
    QTest::qWait(150);
}

struct SecondaryWindowsTest : ::testing::Test {
    void SetUp() override {
        QSettings().clear();
        QFile::remove(FileProfileStorage::defaultLocation());
        sim::SimulatorState::reset(simulatorHome());
        Appearance::apply(Appearance::light);
    }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
        Appearance::apply(Appearance::light);
    }

    void start(AppDelegate::Options options = {}) {
        if (!options.readPower)
            options.readPower = [this] { return power; };
        delegate = std::make_unique<AppDelegate>(std::move(options));
        delegate->applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    }
    QQuickWidget *editorView() const {
        ProfileEditor *editor = delegate->profileEditor();
        return editor && editor->isVisible() ? editor->view() : nullptr;
    }
    QQuickWidget *panel() const { return delegate->menuBar()->popover(); }
    QQuickWidget *settingsView() const {
        return delegate->settingsWindow() ? delegate->settingsWindow()->view() : nullptr;
    }
    bool editorOpen() const { return editorView() != nullptr; }
    void openEditor(const std::optional<Profile> &profile) {
        delegate->editProfile(profile);
        ASSERT_TRUE(waitUntil([&] { return editorView() && editorView()->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->profileEditor()));
        // The keyboard reaches the sheet: the name field, or the sheet itself for a preset.
        ASSERT_TRUE(waitUntil([&] { return editorView()->quickWindow()->activeFocusItem(); }));
    }
    // Chooses a value from a picker's menu once the menu has settled in its place.
    void pick(QQuickWidget *view, const QString &picker, int minutes) {
        clickIn(view, picker + ".button");
        QObject *menu = view->rootObject()->findChild<QObject *>(picker + ".menu");
        ASSERT_TRUE(waitUntil([&] { return opened(menu); }));
        clickIn(view, QStringLiteral("%1.option.%2").arg(picker).arg(minutes));
    }
    void openPanel() {
        ASSERT_FALSE(delegate->menuBar()->isShown());
        delegate->showMenuBar();
        ASSERT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel()));
    }
    static void save(QWidget *window, const QString &name) {
        ASSERT_TRUE(window->grab().save(screenshotPath(name)));
    }

    PowerStatus power = [] {
        PowerStatus status;
        status.source = PowerStatus::Source::battery;
        status.hasBattery = true;
        status.percentage = 64;
        status.minutesRemaining = 125;
        return status;
    }();
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

// MARK: The profile editor

TEST_F(SecondaryWindowsTest, ANewProfileFromTheEditorBecomesTheSelection) {
    start();
    clickIn(delegate->dashboard(), "newProfileButton");
    ASSERT_TRUE(waitUntil([&] { return editorOpen(); }));
    ProfileEditor *editor = delegate->profileEditor();
    EXPECT_EQ(editor->windowTitle(), L10n::text("New Profile"));
    EXPECT_EQ(editor->windowModality(), Qt::WindowModal);
    EXPECT_EQ(editor->parentWidget(), delegate->window());
    EXPECT_EQ(editor->size(), QSize(540, 570));
    EXPECT_EQ(textIn(editorView(), "editorHeading"), L10n::text("Create Your Profile"));
    EXPECT_FALSE(shown(itemIn(editorView(), "deleteButton")));
    EXPECT_EQ(textIn(editorView(), "saveButton"), L10n::text("Create Profile"));

    QQuickItem *name = itemIn(editorView(), "nameField");
    ASSERT_TRUE(waitUntil([&] { return name->hasActiveFocus(); }));
    QTest::keyClicks(editorView(), "Overnight Downloads");
    clickIn(editorView(), "iconButton.download");
    pick(editorView(), "displayPicker", 10);
    ASSERT_TRUE(waitUntil([&] { return editor->model()->draft().displayMinutes == 10; }));
    clickIn(editorView(), "saveButton");

    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));
    const Profile created = delegate->library().profiles().last();
    EXPECT_EQ(created.title, "Overnight Downloads");
    EXPECT_EQ(created.icon, ProfileIcon::download);
    EXPECT_EQ(created.displayMinutes, 10);
    EXPECT_EQ(created.sleepMinutes, 15);
    EXPECT_EQ(created.screenSaverSeconds, 300);
    EXPECT_EQ(delegate->dashboard()->model()->selectedID(), created.id);
    QQuickItem *row = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        row = itemIn(delegate->dashboard(), "profileRow." + created.id);
        return shown(row);
    }));
    EXPECT_TRUE(row->property("selected").toBool());

    // With the sheet gone another one may open.
    openEditor(std::nullopt);
}

TEST_F(SecondaryWindowsTest, ABadNameShowsTheRedMessageAndKeepsTheSheet) {
    start();
    openEditor(std::nullopt);
    const Profile draft = delegate->profileEditor()->model()->draft();
    QTest::keyClicks(editorView(), "   ");
    QTest::keyClick(editorView(), Qt::Key_Return);

    const QString expected = errorTextFrom([&] { (void)Profile(draft).validated(); });
    ASSERT_TRUE(waitUntil([&] { return shown(itemIn(editorView(), "editorError")); }));
    EXPECT_EQ(textIn(editorView(), "editorError"), expected);
    EXPECT_EQ(itemIn(editorView(), "editorError")->property("color").value<QColor>(),
              Theme::failure());
    EXPECT_TRUE(editorOpen());
    EXPECT_EQ(delegate->library().profiles().size(), 5);
    settle(editorView());
    save(delegate->profileEditor(), "editor-error-light");

    // A second request while the sheet is open does nothing.
    ProfileEditor *first = delegate->profileEditor();
    delegate->newProfile();
    EXPECT_EQ(delegate->profileEditor(), first);

    QTest::keyClick(editorView(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));
    EXPECT_EQ(delegate->library().profiles().size(), 5);
}

TEST_F(SecondaryWindowsTest, APresetShowsItsNameWithoutDeleteAndNormalHasNoReturn) {
    start();
    openEditor(delegate->library().normal());
    EXPECT_EQ(delegate->profileEditor()->windowTitle(), L10n::text("Edit Profile"));
    EXPECT_TRUE(shown(itemIn(editorView(), "presetName")));
    EXPECT_FALSE(shown(itemIn(editorView(), "nameField")));
    EXPECT_EQ(textIn(editorView(), "presetName"), Profile::normal().localizedTitle());
    EXPECT_FALSE(shown(itemIn(editorView(), "deleteButton")));
    EXPECT_FALSE(itemIn(editorView(), "return")->isEnabled());
    EXPECT_TRUE(itemIn(editorView(), "sleep")->isEnabled());
    pick(editorView(), "sleepPicker", 60);
    ASSERT_TRUE(
        waitUntil([&] { return delegate->profileEditor()->model()->draft().sleepMinutes == 60; }));
    clickIn(editorView(), "saveButton");
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));
    EXPECT_EQ(delegate->library().normal().sleepMinutes, 60);
}

TEST_F(SecondaryWindowsTest, AnOwnProfileCanBeDeletedFromTheEditor) {
    start();
    Profile night("night", "Night", ProfileIcon::leaf, 10, 20, 600, 0);
    delegate->library().save(night);
    openEditor(night);
    clickIn(editorView(), "deleteButton");
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));
    EXPECT_FALSE(delegate->library().profile("night"));
    EXPECT_TRUE(delegate->library().canUndoDeletion());
}

// A save error of two and more lines wraps inside the sheet, which grows so its buttons stay
// in it; the sheet offers no minimize or zoom control.
TEST_F(SecondaryWindowsTest, TheEditorGrowsWithALongError) {
    start();
    const QString message =
        "The profiles file could not be written because the disk is full or the folder is not "
        "writable. Free some space or check the folder's permissions, then try again; your "
        "changes are kept in this sheet until then.";
    auto *editor = new ProfileEditor(
        std::nullopt, [&](const Profile &) { throw ConfigurationError::message(message); },
        std::nullopt);
    editor->present(delegate->window());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    const Qt::WindowFlags flags = editor->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize()) << "no resize or zoom control";
#if defined(Q_OS_LINUX)
    // What a window manager reads: the Motif hints name the decorations, and name none (no
    // title bar, so no minimize or zoom button in any window manager).
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(editor->winId()), "_MOTIF_WM_HINTS"});
    if (xprop.waitForFinished(5000) && xprop.exitCode() == 0) {
        const QStringList hints =
            QString::fromLatin1(xprop.readAllStandardOutput()).section('=', 1).split(',');
        ASSERT_GE(hints.size(), 3);
        EXPECT_TRUE(hints[0].trimmed().toUInt(nullptr, 16) & 0x2) << "decorations are named";
        EXPECT_EQ(hints[2].trimmed().toUInt(nullptr, 16), 0u);
    }
    // It hangs from the top of the main window's content, centred.
    EXPECT_EQ(editor->geometry().top(), delegate->window()->geometry().top());
    EXPECT_LE(
        std::abs(editor->geometry().center().x() - delegate->window()->geometry().center().x()), 1);
#endif
    QQuickWidget *view = editor->view();
    QQuickItem *name = itemIn(view, "nameField");
    ASSERT_TRUE(waitUntil([&] { return name->hasActiveFocus(); }));
    QTest::keyClicks(view, "Overnight");
    clickIn(view, "saveButton");
    QQuickItem *error = itemIn(view, "editorError");
    ASSERT_TRUE(waitUntil([&] { return shown(error); }));
    EXPECT_EQ(textIn(view, "editorError"), message);
    EXPECT_TRUE(waitUntil([&] { return error->property("lineCount").toInt() >= 2; }));
    EXPECT_TRUE(waitUntil([&] { return editor->height() > ProfileEditor::contentSize.height(); }));
    const auto within = [&](const char *name) {
        QQuickItem *item = itemIn(view, name);
        return QRectF(QPointF(0, 0), view->size())
            .contains(item->mapRectToScene(item->boundingRect()));
    };
    EXPECT_TRUE(waitUntil([&] { return within("cancelButton") && within("saveButton"); }))
        << "the sheet is " << editor->height() << " high";
    EXPECT_TRUE(within("editorError"));
    settle(view);
    save(editor, "editor-long-error-light");
    clickIn(view, "cancelButton");
}

// MARK: The settings window

// The main menu's keys work in the settings window too; Escape closes it.
TEST_F(SecondaryWindowsTest, TheSettingsWindowAnswersTheMenuKeys) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    const auto showSettings = [&] {
        delegate->showSettings();
        ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->settingsWindow()));
    };
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    showSettings();
    SettingsWindow *window = delegate->settingsWindow();
    press(Qt::Key_Escape, Qt::NoModifier);
    ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }));

    showSettings();
    press(Qt::Key_W);
    ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }));

    showSettings();
    press(Qt::Key_0);
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate->window()));

    showSettings();
    press(Qt::Key_N);
    ASSERT_TRUE(waitUntil([&] { return editorOpen(); }));
    clickIn(editorView(), "cancelButton");
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));

    showSettings();
    press(Qt::Key_3);
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(service->applied.last().id, delegate->library().profiles()[2].id);
    press(Qt::Key_Q); // refused while applying, with the alert
    EXPECT_TRUE(waitUntil([&] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "quitGuardAlert" && widget->isVisible())
                return true;
        return false;
    }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }));
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "quitGuardAlert")
            widget->close();

    showSettings();
    press(Qt::Key_M);
    EXPECT_TRUE(waitUntil([&] { return window->isMinimized(); }));
}

// When nothing opens the simulated Mac's folder, the window tells where it is.
TEST_F(SecondaryWindowsTest, SystemSettingsThatCannotOpenSayWhereTheFolderIs) {
    start();
    SettingsModel model(delegate->store(), {{}, {}, [](const QUrl &) { return false; }});
    SleepDiagnosisModel diagnosis(model, delegate->store(), {});
    SettingsWindow window(&model, &diagnosis);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(shown(itemIn(window.view(), "openFailureText")));
    clickIn(window.view(), "systemSettingsButton");
    ASSERT_TRUE(waitUntil([&] { return shown(itemIn(window.view(), "openFailureText")); }));
#ifndef Q_OS_MACOS
    EXPECT_TRUE(textIn(window.view(), "openFailureText").contains(simulatorHome()));
#endif
    settle(window.view());
    save(&window, "settings-open-failure-light");
}

TEST_F(SecondaryWindowsTest, TheSettingsWindowReadsTheSimulatedMac) {
    ControlledSystemReader reader;
    start({.readSystem = [&reader] { return reader.read(); }});
    delegate->showSettings();
    SettingsWindow *window = delegate->settingsWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), L10n::text("Current System Configuration"));
    EXPECT_EQ(window->size(), QSize(570, 580));
    EXPECT_EQ(window->minimumSize(), QSize(530, 530));

    // The workspace reads too; the settings window's read is the latest one.
    ASSERT_TRUE(waitUntil([&] { return window->model()->reading(); }));
    const QString reading = L10n::text("Reading…");
    for (const char *row : {"sourceRowValue", "displayRowValue", "sleepRowValue",
                            "screenSaverRowValue", "assertionText", "statusLine"})
        EXPECT_EQ(textIn(settingsView(), row), reading) << row;
    settle(settingsView());
    save(window, "settings-reading-light");

    while (reader.pending() > 0)
        reader.deliver(SystemSettings::read()); // the real read of the simulated Mac
    const sim::SimulatorState mac = sim::SimulatorState::load(simulatorHome());
    ASSERT_TRUE(waitUntil([&] { return textIn(settingsView(), "sourceRowValue") != reading; }));
    EXPECT_EQ(textIn(settingsView(), "sourceRowValue"), L10n::text("Power adapter"));
    EXPECT_EQ(textIn(settingsView(), "displayRowValue"),
              SystemSettings::duration(mac.adapter->number("displaysleep")));
    EXPECT_EQ(textIn(settingsView(), "sleepRowValue"),
              SystemSettings::duration(mac.adapter->number("sleep")));
    EXPECT_EQ(textIn(settingsView(), "assertionText"),
              L10n::text("No requests preventing sleep were detected."));
    EXPECT_TRUE(
        textIn(settingsView(), "statusLine").startsWith(L10n::text({"Last updated {0}", {""}})));

    // Closing only hides it; showing it again is the same window.
    window->close();
    ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }));
    delegate->showSettings();
    EXPECT_EQ(delegate->settingsWindow(), window);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(SecondaryWindowsTest, RestoreAfterAnApplyPutsTheSimulatedMacBack) {
    start();
    const sim::SimulatorState factory = sim::SimulatorState::load(simulatorHome());
    delegate->workspace()->select("vibe");
    delegate->workspace()->apply();
    ASSERT_TRUE(waitUntil(
        [&] { return delegate->store().hasAppliedProfile() && !delegate->store().isApplying(); },
        30'000));
    ASSERT_NE(sim::SimulatorState::load(simulatorHome()).adapter, factory.adapter);

    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    clickIn(settingsView(), "restoreButton");
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }, 30'000));
    const sim::SimulatorState after = sim::SimulatorState::load(simulatorHome());
    for (const char *setting : {"displaysleep", "sleep"}) {
        EXPECT_EQ(after.adapter->number(setting), factory.adapter->number(setting)) << setting;
        EXPECT_EQ(after.battery->number(setting), factory.battery->number(setting)) << setting;
    }
    EXPECT_FALSE(delegate->store().errorMessage());
    // The window reads again and shows the restored values.
    EXPECT_TRUE(waitUntil([&] {
        return textIn(settingsView(), "displayRowValue") ==
               SystemSettings::duration(factory.adapter->number("displaysleep"));
    }));
    EXPECT_TRUE(itemIn(settingsView(), "restoreButton")->isEnabled());
}

TEST_F(SecondaryWindowsTest, RestoreIsDisabledWhileAnApplyRuns) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    delegate->workspace()->apply();
    ASSERT_TRUE(service->pending());
    delegate->refresh();
    EXPECT_TRUE(waitUntil([&] { return !itemIn(settingsView(), "restoreButton")->isEnabled(); }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }));
    delegate->refresh();
    EXPECT_TRUE(waitUntil([&] { return itemIn(settingsView(), "restoreButton")->isEnabled(); }));
}

// MARK: The quick panel

TEST_F(SecondaryWindowsTest, WithoutATrayThePanelOpensAtTheTopRightAndWorksByKeyboard) {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a system tray; TrayTest covers the status item";
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    EXPECT_EQ(delegate->menuBar()->statusItem(), nullptr);
    openPanel();

    const QRect screen = panel()->screen()->availableGeometry();
    EXPECT_EQ(panel()->width(), 340);
    EXPECT_EQ(panel()->height(), std::min(195 + 63 * 5, screen.height() - 40));
    EXPECT_EQ(panel()->geometry().right(), screen.right() - 8);
    EXPECT_EQ(panel()->geometry().top(), screen.top() + 8);

    EXPECT_EQ(textIn(panel(), "powerTitle"), L10n::text("Battery") + " · 64%");
    EXPECT_EQ(textIn(panel(), "powerDetail"),
              L10n::text({"About {0} hr {1} min remaining", {"2", "5"}}));
    EXPECT_EQ(textIn(panel(), "statusText"), L10n::text("Choose a profile"));
    settle(panel());
    save(panel(), "quick-panel-open-light");

    QuickPanelModel *model = delegate->menuBar()->model();
    QTest::keyClick(panel(), Qt::Key_Down);
    EXPECT_EQ(model->focusedID(), "normal");
    QTest::keyClick(panel(), Qt::Key_Up);
    EXPECT_EQ(model->focusedID(), "download");
    QTest::keyClick(panel(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    ASSERT_TRUE(service->pending());
    EXPECT_EQ(service->applied.last().id, "download");
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));

    openPanel();
    EXPECT_TRUE(waitUntil([&] { return shown(itemIn(panel(), "appliedMark.download")); }));
    EXPECT_FALSE(shown(itemIn(panel(), "appliedMark.normal")));
    EXPECT_TRUE(textIn(panel(), "statusText").startsWith(Profile::download().localizedTitle()));
    QTest::keyClick(panel(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
}

TEST_F(SecondaryWindowsTest, APanelMadeAgainAfterItsSceneWasReleasedWorksByKeyboard) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    openPanel();
    QTest::keyClick(panel(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    delegate->window()->close();
    ASSERT_TRUE(waitUntil([&] { return !panel() && !delegate->window(); }));

    openPanel();
    QTest::keyClick(panel(), Qt::Key_Down);
    EXPECT_EQ(delegate->menuBar()->model()->focusedID(), "normal");
    QTest::keyClick(panel(), Qt::Key_Up);
    QTest::keyClick(panel(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(service->applied.last().id, "download");
    EXPECT_TRUE(waitUntil([&] { return !panel(); })) << "released again once closed";
    service->succeed();
}

TEST_F(SecondaryWindowsTest, EveryOpeningReadsThePowerSourceAndTicksOnlyEveryFiveSeconds) {
    QDateTime now = QDateTime::currentDateTime();
    int reads = 0;
    start({.clock = [&] { return now; },
           .readPower =
               [&] {
                   ++reads;
                   return power;
               }});
    const int atLaunch = reads;
    openPanel();
    EXPECT_EQ(reads, atLaunch + 1);
    QTest::keyClick(panel(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    openPanel();
    EXPECT_EQ(reads, atLaunch + 2) << "a second opening within 5 seconds reads again";

    now = now.addSecs(4);
    delegate->refresh();
    EXPECT_EQ(reads, atLaunch + 2);
    power.percentage = 12;
    now = now.addSecs(1);
    delegate->refresh();
    EXPECT_EQ(reads, atLaunch + 3);
    EXPECT_TRUE(waitUntil([&] { return textIn(panel(), "powerTitle").endsWith(" · 12%"); }));
    EXPECT_EQ(itemIn(panel(), "powerSymbol")->property("symbol").toString(), "battery.0percent");
    EXPECT_EQ(itemIn(panel(), "powerSymbol")->property("color").value<QColor>(), Theme::warning());

    // A closed panel reads nothing on ticks.
    QTest::keyClick(panel(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    now = now.addSecs(10);
    delegate->refresh();
    EXPECT_EQ(reads, atLaunch + 3);
}

TEST_F(SecondaryWindowsTest, PanelButtonsOpenTheWindowsAndCloseThePanel) {
    start();
    openPanel();
    clickIn(panel(), "settingsButton");
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    ASSERT_NE(delegate->settingsWindow(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return delegate->settingsWindow()->isVisible(); }));

    openPanel();
    clickIn(panel(), "newProfileButton");
    ASSERT_TRUE(waitUntil([&] { return editorOpen(); }));
    EXPECT_FALSE(panel()->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->profileEditor()));
    clickIn(editorView(), "cancelButton");
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));

    delegate->window()->hide();
    openPanel();
    clickIn(panel(), "openButton");
    ASSERT_TRUE(waitUntil([&] { return delegate->window()->isVisible(); }));
    EXPECT_FALSE(panel()->isVisible());

    // A click on a profile row applies it.
    openPanel();
    clickIn(panel(), "panelRow.focus");
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    EXPECT_TRUE(waitUntil([&] { return delegate->store().profile().id == "focus"; }, 30'000));
}

// MARK: Why isn't my Mac sleeping?

TEST_F(SecondaryWindowsTest, TheDiagnosisNamesTwoHoldersAndSleepDisabled) {
    const QString suffix =
        L10n::currentLanguage() == "en" ? QString() : "-" + L10n::currentLanguage();
    auto mac = sim::SimulatorState::load(simulatorHome());
    mac.sleepDisabled = true;
    mac.assertionHolders = {
        {412,
         "caffeinate",
         "PreventUserIdleSystemSleep",
         "caffeinate command-line tool",
         95,
         {"Details: caffeinate asserting forever"}},
        {518, "Keynote", "PreventUserIdleDisplaySleep", "Playing slideshow", 600, {}}};
    mac.save(simulatorHome());
    start();
    for (const auto &[choice, name] :
         {std::pair{int(Appearance::light), "light"}, std::pair{int(Appearance::dark), "dark"}}) {
        delegate->changeAppearance(choice);
        ASSERT_TRUE(waitUntil([&] { return Theme().dark() == (choice == Appearance::dark); }));
        delegate->showSettings();
        SettingsWindow *window = delegate->settingsWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        if (!window->diagnosis()->expanded())
            clickIn(settingsView(), "diagnosisButton");
        ASSERT_TRUE(waitUntil([&] { return window->diagnosis()->ready(); }, 30'000));

        EXPECT_EQ(textIn(settingsView(), "sleepRowValue"),
                  L10n::text("Never: sleep is disabled system-wide"));
        EXPECT_EQ(textIn(settingsView(), "diagnosisSleep"),
                  L10n::text("The Mac never sleeps on idle: sleep is disabled system-wide "
                             "(SleepDisabled)."));
        EXPECT_EQ(textIn(settingsView(), "diagnosisDisplay"),
                  L10n::text({"The display would turn off after {0} min of inactivity, but "
                              "something keeps it on.",
                              {"10"}}));
        const auto holder = [](const char *process, const char *reason) {
            return "• " + L10n::text({"{0}: {1}", {process, reason}});
        };
        EXPECT_EQ(textIn(settingsView(), "displayHolder.0"),
                  holder("Keynote", "Playing slideshow"));
        EXPECT_EQ(textIn(settingsView(), "sleepHolder.0"),
                  holder("caffeinate", "caffeinate command-line tool"));
        EXPECT_EQ(textIn(settingsView(), "sleepHolder.1"), holder("Keynote", "Playing slideshow"));

        // The section is below the readings: scrolled into view, as a person would.
        QQuickItem *scroller = itemIn(settingsView(), "settingsScroller");
        const qreal bottom = scroller->property("contentHeight").toReal() - scroller->height();
        scroller->setProperty("contentY",
                              std::min(itemIn(settingsView(), "diagnosisSection")->y(), bottom));
        settle(settingsView());
        clickIn(settingsView(), "copyReportButton");
        EXPECT_TRUE(waitUntil(
            [&] { return QGuiApplication::clipboard()->text().contains("caffeinate (pid 412)"); }));
        EXPECT_TRUE(waitUntil([&] { return shown(itemIn(settingsView(), "reportCopied")); }));
        settle(settingsView());
        save(window, QStringLiteral("settings-diagnosis-%1%2").arg(name, suffix));
        window->close();
        ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }));
    }
    // The quick panel's status tells it too.
    openPanel();
    EXPECT_TRUE(waitUntil([&] { return shown(itemIn(panel(), "sleepDisabledText")); }));
    EXPECT_EQ(textIn(panel(), "sleepDisabledText"), L10n::text("Sleep disabled system-wide"));
    settle(panel());
    save(panel(), QStringLiteral("quick-panel-sleep-disabled%1").arg(suffix));
}

// Every button of the panel, the editor and the settings window, symbols-only ones included,
// has an accessible name.
TEST_F(SecondaryWindowsTest, EveryControlHasAnAccessibleName) {
    start();
    const auto names = [](QQuickWidget *view) {
        QList<std::pair<QAccessible::Role, QString>> controls;
        pressables(QAccessible::queryAccessibleInterface(view), controls);
        QStringList found;
        for (const auto &[role, name] : controls) {
            EXPECT_FALSE(name.trimmed().isEmpty()) << "a control of role " << role;
            found << name;
        }
        return found;
    };
    openPanel();
    const QStringList panelNames = names(panel());
    for (const char *name : {"New Profile", "Current Settings", "Quit Pellor", "Open Pellor"})
        EXPECT_TRUE(panelNames.contains(L10n::text(name))) << name;
    QTest::keyClick(panel(), Qt::Key_Escape);

    openEditor(std::nullopt);
    const QStringList editorNames = names(editorView());
    for (const ProfileIcon icon : ProfileIcon::allCases())
        EXPECT_TRUE(editorNames.contains(icon.title())) << icon.title().toStdString();
    EXPECT_TRUE(editorNames.contains(L10n::text("Return to Normal")));
    clickIn(editorView(), "cancelButton");

    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    EXPECT_TRUE(names(settingsView()).contains(L10n::text("Refresh System Status")));
}

// MARK: Screenshots

TEST_F(SecondaryWindowsTest, ScreenshotsInLightAndDark) {
    const QString suffix =
        L10n::currentLanguage() == "en" ? QString() : "-" + L10n::currentLanguage();
    start();
    Profile night("night", "Overnight Downloads", ProfileIcon::download, 10, 0, 600, 120);
    delegate->library().save(night);
    for (const auto &[choice, name] :
         {std::pair{int(Appearance::light), "light"}, std::pair{int(Appearance::dark), "dark"}}) {
        delegate->changeAppearance(choice);
        ASSERT_TRUE(waitUntil([&] { return Theme().dark() == (choice == Appearance::dark); }));

        openPanel();
        QTest::keyClick(panel(), Qt::Key_Down);
        QTest::keyClick(panel(), Qt::Key_Down);
        settle(panel());
        save(panel(), QStringLiteral("quick-panel-%1%2").arg(name, suffix));
        QTest::keyClick(panel(), Qt::Key_Escape);
        ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));

        openEditor(night);
        settle(editorView());
        save(delegate->profileEditor(), QStringLiteral("editor-%1%2").arg(name, suffix));
        clickIn(editorView(), "cancelButton");
        ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));

        openEditor(std::nullopt);
        settle(editorView());
        save(delegate->profileEditor(), QStringLiteral("editor-new-%1%2").arg(name, suffix));
        clickIn(editorView(), "cancelButton");
        ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));

        delegate->showSettings();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
        ASSERT_TRUE(
            waitUntil([&] { return delegate->settingsWindow()->model()->hasSnapshot(); }, 30'000));
        settle(settingsView());
        save(delegate->settingsWindow(), QStringLiteral("settings-%1%2").arg(name, suffix));
        delegate->settingsWindow()->close();
    }
}

// MARK: Korean

TEST_F(SecondaryWindowsTest, KoreanWindowsShowKorean) {
    if (L10n::currentLanguage() != "ko")
        GTEST_SKIP() << "needs a Korean preferred language; ctest runs it as "
                        "SecondaryWindowsTest.ko";
    start();
    openPanel();
    EXPECT_EQ(textIn(panel(), "statusText"), L10n::text("Choose a profile", "ko"));
    EXPECT_NE(textIn(panel(), "statusText"), "Choose a profile");
    EXPECT_EQ(textIn(panel(), "powerTitle"), L10n::text("Battery", "ko") + " · 64%");
    EXPECT_EQ(itemIn(panel(), "openButton")->property("text").toString(),
              L10n::text("Open Pellor", "ko"));
    QTest::keyClick(panel(), Qt::Key_Escape);

    openEditor(std::nullopt);
    EXPECT_EQ(delegate->profileEditor()->windowTitle(), L10n::text("New Profile", "ko"));
    EXPECT_EQ(textIn(editorView(), "editorHeading"), L10n::text("Create Your Profile", "ko"));
    EXPECT_EQ(textIn(editorView(), "saveButton"), L10n::text("Create Profile", "ko"));
    EXPECT_NE(textIn(editorView(), "saveButton"), "Create Profile");
    clickIn(editorView(), "cancelButton");
    ASSERT_TRUE(waitUntil([&] { return !editorOpen(); }));

    delegate->showSettings();
    EXPECT_EQ(delegate->settingsWindow()->windowTitle(),
              L10n::text("Current System Configuration", "ko"));
    EXPECT_EQ(textIn(settingsView(), "restoreButton"),
              L10n::text("Restore Original Settings…", "ko"));
    ASSERT_TRUE(
        waitUntil([&] { return delegate->settingsWindow()->model()->hasSnapshot(); }, 30'000));
    EXPECT_EQ(textIn(settingsView(), "sourceRowValue"), L10n::text("Power adapter", "ko"));
}
