// The profile editor sheet, the settings window and the quick panel as a person meets them: the
// real windows with the real QML, opened through the application delegate, on the simulated Mac.
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/ProfileLibrary.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

struct SecondaryWindowsTest : WindowTest {
    void start(AppDelegate::Options options = {}) {
        if (!options.readPower)
            options.readPower = [this] { return power; };
        WindowTest::start(std::move(options));
    }

    PowerStatus power{.source = PowerStatus::Source::battery,
                      .hasBattery = true,
                      .percentage = 64,
                      .minutesRemaining = 125};
};

} // namespace

TEST_F(SecondaryWindowsTest, TheEditorRefusesABadNameThenCreatesAProfileThatCanBeDeleted) {
    start();
    click(view, "newProfileButton");
    ASSERT_TRUE(waitUntil([&] { return editorView(); }));
    ProfileEditor *editor = delegate->profileEditor();
    EXPECT_EQ(editor->windowTitle(), L10n::text("New Profile"));
    EXPECT_EQ(editor->windowModality(), Qt::WindowModal);
    delegate->newProfile();
    EXPECT_EQ(delegate->profileEditor(), editor) << "a second sheet while one is open";

    QQuickItem *name = item(editorView(), "nameField");
    ASSERT_TRUE(waitUntil([&] { return name->hasActiveFocus(); }));
    const Profile draft = editor->model()->draft();
    QTest::keyClicks(editorView(), "   ");
    QTest::keyClick(editorView(), Qt::Key_Return);
    QQuickItem *error = item(editorView(), "editorError");
    ASSERT_TRUE(waitUntil([&] { return shown(error); }));
    EXPECT_EQ(textOf(error), errorTextFrom([&] { (void)Profile(draft).validated(); }));
    EXPECT_EQ(error->property("color").value<QColor>(), Theme::colours(false).failure);
    EXPECT_EQ(delegate->library().profiles().size(), 5);
    shoot(editorView(), "editor-error-light");

    ASSERT_TRUE(waitUntil([&] { return name->hasActiveFocus(); }));
    QTest::keyClick(editorView(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editorView(), "Overnight Downloads");
    click(editorView(), "iconButton.download");
    pick(editorView(), "displayPicker", 10);
    ASSERT_TRUE(waitUntil([&] { return editor->model()->draft().displayMinutes == 10; }));
    click(editorView(), "saveButton");
    ASSERT_TRUE(waitUntil([&] { return !editorView(); }));
    const Profile created = delegate->library().profiles().last();
    EXPECT_EQ(created, Profile(created.id, "Overnight Downloads", ProfileIcon::download, 10, 15,
                               300, created.defaultMinutes));
    EXPECT_EQ(view->model()->selectedID(), created.id);

    // With the sheet gone another may open; Escape closes it, and its Delete deletes.
    openEditor(created);
    QTest::keyClick(editorView(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !editorView(); }));
    openEditor(created);
    click(editorView(), "deleteButton");
    ASSERT_TRUE(waitUntil([&] { return !editorView(); }));
    EXPECT_FALSE(delegate->library().profile(created.id));
    EXPECT_TRUE(delegate->library().canUndoDeletion());
}

// A save error of two and more lines wraps inside the sheet, which grows so its buttons stay
// in it; the sheet offers no minimize or zoom control.
TEST_F(SecondaryWindowsTest, TheEditorGrowsWithALongError) {
    start();
    const QString message = QString("The profiles file could not be written. ").repeated(4);
    QPointer<ProfileEditor> editor = new ProfileEditor(
        std::nullopt, [&](const Profile &) { throw ConfigurationError::message(message); },
        std::nullopt);
    editor->present(delegate->window());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    EXPECT_FALSE(editor->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize()) << "no resize or zoom control";
    QQuickWidget *sheet = editor->view();
    ASSERT_TRUE(waitUntil([&] { return item(sheet, "nameField")->hasActiveFocus(); }));
    QTest::keyClicks(sheet, "Overnight");
    click(sheet, "saveButton");
    QQuickItem *error = item(sheet, "editorError");
    ASSERT_TRUE(waitUntil([&] { return shown(error); }));
    EXPECT_EQ(textOf(error), message);
    QQuickItem *save = item(sheet, "saveButton");
    EXPECT_TRUE(waitUntil([&] {
        return error->property("lineCount").toInt() >= 2 &&
               editor->height() > ProfileEditor::contentSize.height() &&
               QRectF(sheet->rect()).contains(save->mapRectToScene(save->boundingRect()));
    })) << "the sheet is "
        << editor->height() << " high";
    shoot(sheet, "editor-long-error-light");
    click(sheet, "cancelButton");
    EXPECT_TRUE(waitUntil([&] { return !editor || !editor->isVisible(); }));
}

// The settings window reads the simulated Mac, takes the main menu's keys, and its Restore puts
// back the settings an apply changed; Escape closes it.
TEST_F(SecondaryWindowsTest, TheSettingsWindowReadsTheSimulatedMacAndRestoresIt) {
    start();
    const sim::SimulatorState factory = sim::SimulatorState::load(simulatorHome());
    showSettings();
    SettingsWindow *window = delegate->settingsWindow();
    QQuickWidget *settingsView = window->view();
    EXPECT_EQ(window->windowTitle(), L10n::text("Current System Configuration"));
    EXPECT_TRUE(waitUntil([&] { return item(settingsView, "refreshButton")->hasActiveFocus(); }));
    const auto row = [&](const char *name) { return textIn(settingsView, name); };
    const QString display = SystemSettings::duration(factory.adapter->number("displaysleep"));
    ASSERT_TRUE(waitUntil([&] { return row("displayRowValue") == display; }));
    EXPECT_EQ(row("sourceRowValue"), L10n::text("Power adapter"));
    EXPECT_EQ(row("assertionText"), L10n::text("No requests preventing sleep were detected."));

    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil(
        [&] { return delegate->store().hasAppliedProfile() && !delegate->store().isApplying(); },
        30'000));
    EXPECT_EQ(delegate->store().profile().id, delegate->library().profiles()[2].id);
    ASSERT_NE(sim::SimulatorState::load(simulatorHome()).adapter, factory.adapter);
    click(settingsView, "restoreButton");
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }, 30'000));
    const sim::SimulatorState after = sim::SimulatorState::load(simulatorHome());
    for (const char *setting : {"displaysleep", "sleep"}) {
        EXPECT_EQ(after.adapter->number(setting), factory.adapter->number(setting)) << setting;
        EXPECT_EQ(after.battery->number(setting), factory.battery->number(setting)) << setting;
    }
    EXPECT_FALSE(delegate->store().errorMessage());
    EXPECT_TRUE(waitUntil([&] { return row("displayRowValue") == display; }));
    EXPECT_TRUE(item(settingsView, "restoreButton")->isEnabled());

    // Escape and Close Window close it, not the main window; it only hides while the main
    // window is open, so it comes back as the same window. Minimize minimizes it.
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_W, Qt::ControlModifier},
          std::pair{Qt::Key_M, Qt::ControlModifier}}) {
        delegate->showSettings();
        ASSERT_EQ(delegate->settingsWindow(), window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        ASSERT_TRUE(waitUntil([&] { return !window->isVisible() || window->isMinimized(); }));
        EXPECT_TRUE(delegate->window()->isVisible());
    }
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(SecondaryWindowsTest, TheDiagnosisNamesTheHoldersAndSleepDisabled) {
    auto mac = sim::SimulatorState::load(simulatorHome());
    mac.sleepDisabled = true;
    mac.assertionHolders = {
        {412, "caffeinate", "PreventUserIdleSystemSleep", "caffeinate command-line tool", 95, {}},
        {518, "Keynote", "PreventUserIdleDisplaySleep", "Playing slideshow", 600, {}}};
    mac.save(simulatorHome());
    start();
    showSettings();
    QQuickWidget *settingsView = delegate->settingsWindow()->view();
    click(settingsView, "diagnosisButton");
    ASSERT_TRUE(waitUntil([&] { return delegate->settingsWindow()->diagnosis()->ready(); }));
    EXPECT_EQ(textIn(settingsView, "sleepRowValue"),
              L10n::text("Never: sleep is disabled system-wide"));
    const auto holder = [](const char *process, const char *reason) {
        return "• " + L10n::text({"{0}: {1}", {process, reason}});
    };
    EXPECT_EQ(textIn(settingsView, "displayHolder.0"), holder("Keynote", "Playing slideshow"));
    EXPECT_EQ(textIn(settingsView, "sleepHolder.0"),
              holder("caffeinate", "caffeinate command-line tool"));
    // The section lies below the readings: it is brought into view, answer and button.
    QQuickItem *scroller = item(settingsView, "settingsScroller");
    const auto inView = [&](const char *name) {
        const QRectF box = item(settingsView, name)
                               ->mapRectToItem(scroller, item(settingsView, name)->boundingRect());
        return box.top() >= 0 && box.bottom() <= scroller->height();
    };
    EXPECT_TRUE(
        waitUntil([&] { return inView("diagnosisDisplay") && inView("copyReportButton"); }));
    click(settingsView, "copyReportButton");
    EXPECT_TRUE(waitUntil(
        [] { return QGuiApplication::clipboard()->text().contains("caffeinate (pid 412)"); }));
    shoot(settingsView, "settings-diagnosis");
}

// Without a tray the panel opens at the top right and follows the power source while it is open.
// It works by keyboard, also when made again after every window closed and released its scene (a
// regression).
TEST_F(SecondaryWindowsTest, WithoutATrayThePanelOpensAtTheTopRightAndWorksByKeyboard) {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a system tray; TrayTest covers the status item";
    QDateTime now = QDateTime::currentDateTime();
    start({.configuration = service, .clock = [&] { return now; }});
    EXPECT_EQ(delegate->menuBar()->statusItem(), nullptr);
    openPanel();
    const QRect screen = panel()->screen()->availableGeometry();
    EXPECT_EQ(panel()->size(), QSize(340, std::min(195 + 63 * 5, screen.height() - 40)));
    EXPECT_EQ(panel()->geometry().topRight(), screen.topRight() + QPoint(-8, 8));
    EXPECT_EQ(textIn(panel(), "powerTitle"), L10n::text("Battery") + " · 64%");
    power.percentage = 12;
    now = now.addSecs(5); // the next read is due
    delegate->refresh();
    EXPECT_TRUE(waitUntil([&] { return textIn(panel(), "powerTitle").endsWith(" · 12%"); }));
    closePanel();
    delegate->window()->close();
    ASSERT_TRUE(waitUntil([&] { return !panel() && !delegate->window(); }));

    openPanel();
    QTest::keyClick(panel(), Qt::Key_Down);
    EXPECT_EQ(delegate->menuBar()->model()->focusedID(), "normal");
    QTest::keyClick(panel(), Qt::Key_Up);
    QTest::keyClick(panel(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(service->applied, QList<Profile>{Profile::download()});
    EXPECT_TRUE(waitUntil([&] { return !panel(); })) << "released again once closed";
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    openPanel();
    EXPECT_TRUE(waitUntil([&] { return shown(item(panel(), "appliedMark.download")); }));
    EXPECT_FALSE(shown(item(panel(), "appliedMark.normal")));
    closePanel();
}

TEST_F(SecondaryWindowsTest, PanelButtonsOpenTheWindows) {
    start();
    openPanel();
    click(panel(), "settingsButton");
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    EXPECT_TRUE(waitUntil([&] { return delegate->settingsWindow()->isVisible(); }));
    openPanel();
    click(panel(), "newProfileButton");
    ASSERT_TRUE(waitUntil([&] { return editorView() && !panel()->isVisible(); }));
    closeEditor();
    delegate->window()->hide();
    openPanel();
    click(panel(), "openButton");
    EXPECT_TRUE(
        waitUntil([&] { return delegate->window()->isVisible() && !panel()->isVisible(); }));
}
