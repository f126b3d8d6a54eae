// The application delegate on the real window: start-up, the main menu and its rebuilding,
// profile switches from the menu, the alerts, the quit guard, the appearance choice and the
// window frame across restarts, and the views released while every window is closed.
#include "App/AppDelegate.h"

#include "App/Appearance.h"
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Sessions/SessionRecord.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

// The application on profiles in memory, with its clock, configuration, live reads and quitting
// in the test's hands.
struct DelegateTest : WindowTest {
    void start() {
        WindowTest::start({.storage = storage,
                           .configuration = service,
                           .clock = [this] { return now; },
                           .readSystem =
                               [this] {
                                   if (reader.started == 0)
                                       windowShownAtFirstRead =
                                           delegate->window()->windowHandle()->isExposed();
                                   return reader.read();
                               },
                           .quitApplication = [this] { ++quits; },
                           .releaseDelay = releaseDelay,
                           .openedAtLogin = openedAtLogin});
    }
    [[nodiscard]] QAction *menuItem(const QString &title) const {
        return MainMenu::findAction(delegate->mainMenu(), title);
    }

    std::shared_ptr<MemoryProfileStorage> storage = std::make_shared<MemoryProfileStorage>();
    QDateTime now = kStart;
    std::chrono::milliseconds releaseDelay{0};
    int quits = 0;
    bool openedAtLogin = false;
    bool windowShownAtFirstRead = false;
};

} // namespace

// The window, the appearance choice and the frame of the last run come back at the next start;
// a library that failed to load is reported then. Opened at login where there is no tray (this
// display has none), the window is the way in.
TEST_F(DelegateTest, StartUpShowsTheWindowAsItWasLeftInTheChosenAppearance) {
    Theme theme;
    start();
    MainWindow *window = delegate->window();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    EXPECT_TRUE(delegate->timer()->isActive());
    // The first frame does not wait for the live read: it starts once the frame is on the screen.
    EXPECT_TRUE(waitUntil([&] { return reader.started == 1; }));
    EXPECT_TRUE(windowShownAtFirstRead);
    EXPECT_TRUE(shownNamed("profileErrorAlert").isEmpty());
    EXPECT_TRUE(menuItem(L10n::text("System"))->isChecked());
    menuItem(L10n::text("Dark"))->trigger();
    EXPECT_EQ(QSettings().value("appearanceChoice").toInt(), 2);
    EXPECT_TRUE(theme.dark());
    EXPECT_FALSE(menuItem(L10n::text("System"))->isChecked());
    window->resize(1100, 800);
    ASSERT_TRUE(waitUntil([&] { return window->size() == QSize(1100, 800); }));
    window->saveFrame();

    delegate.reset();
    QApplication::setPalette(Appearance::palette(Appearance::light));
    storage->bytes = "{ not json";
    test::writeBytes(RuleBook::defaultPath(), "{ not json either");
    openedAtLogin = true;
    start();
    EXPECT_EQ(delegate->menuBar()->statusItem(), nullptr);
    EXPECT_EQ(delegate->window()->size(), QSize(1100, 800));
    EXPECT_TRUE(theme.dark());
    EXPECT_TRUE(menuItem(L10n::text("Dark"))->isChecked());
    const auto open = shownNamed("profilesLoadAlert");
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->text(), L10n::text("Could Not Read Profiles"));
    EXPECT_TRUE(open[0]->informativeText().startsWith(*delegate->library().loadError()));
    EXPECT_TRUE(open[0]->informativeText().contains(storage->location()));
    EXPECT_EQ(open[0]->windowModality(), Qt::WindowModal);
    auto *title = open[0]->findChild<QLabel *>("qt_msgbox_label"); // styled like Pellor
    title->ensurePolished();
    EXPECT_TRUE(title->font().bold());
    // A damaged rules file too, named with its way out; profiles can still be applied by hand.
    const auto rules = shownNamed("rulesLoadAlert");
    ASSERT_EQ(rules.size(), 1);
    EXPECT_TRUE(rules[0]->informativeText().contains(RuleBook::defaultPath()));
    rules[0]->findChild<QPushButton *>("setAsideButton")->click();
    EXPECT_FALSE(QFile::exists(RuleBook::defaultPath()));

    delegate.reset();
    QSettings().setValue("appearanceChoice", 5);
    start();
    for (const QString &title : {L10n::text("System"), L10n::text("Light"), L10n::text("Dark")})
        EXPECT_FALSE(menuItem(title)->isChecked()) << title.toStdString();
    EXPECT_EQ(theme.dark(), Theme::isDark(QApplication::style()->standardPalette()));
}

TEST_F(DelegateTest, SwitchingFromTheMenuAppliesOnceAtATimeShowsEachErrorOnceAndHoldsOffQuitting) {
    start();
    delegate->switchProfile(QStringLiteral("no-such-profile"));
    delegate->switchProfile(QVariant(3));
    EXPECT_TRUE(service->applied.isEmpty()) << "unknown identifiers and non-text objects";
    const auto fail = [&](const QString &message, qsizetype alerts) {
        ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
        service->fail(ConfigurationError::message(message));
        ASSERT_TRUE(waitUntil([&] { return shownNamed("switchErrorAlert").size() == alerts; }));
    };

    menuItem(Profile::focus().localizedTitle())->trigger();
    ASSERT_EQ(service->applied, QList<Profile>{Profile::focus()});
    delegate->switchProfile(QStringLiteral("vibe"));
    EXPECT_EQ(service->applied.size(), 1) << "ignored while applying";
    EXPECT_FALSE(delegate->applicationShouldTerminate());
    const auto guard = shownNamed("quitGuardAlert");
    ASSERT_EQ(guard.size(), 1);
    EXPECT_EQ(guard[0]->windowModality(), Qt::ApplicationModal);
    QEvent quit(QEvent::Quit); // the platform's own request to quit
    EXPECT_TRUE(QCoreApplication::sendEvent(qApp, &quit));
    EXPECT_FALSE(quit.isAccepted());

    fail("The first failure", 1);
    EXPECT_EQ(shownNamed("switchErrorAlert")[0]->informativeText(), "The first failure");
    EXPECT_FALSE(delegate->store().errorMessage()) << "cleared before the alert";
    delegate->refresh();
    EXPECT_EQ(shownNamed("switchErrorAlert").size(), 1);
    delegate->switchProfile(QStringLiteral("focus"));
    fail("The second failure", 2);

    delegate->switchProfile(QStringLiteral("focus"));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    ASSERT_TRUE(delegate->store().session().deadline);
    EXPECT_EQ(*delegate->store().session().deadline, kStart.addSecs(25LL * 60));
}

// Quitting while a timed profile runs asks first; the system's request to end waits only for an
// apply under way.
TEST_F(DelegateTest, QuittingWithATimedProfileAsksWhetherToReturnToNormalFirst) {
    const auto startTimedFocus = [&] {
        delegate.reset();
        QFile::remove(SessionRecord::defaultPath());
        start();
        delegate->switchProfile(QStringLiteral("focus"));
        service->succeed();
        ASSERT_TRUE(waitUntil([&] { return delegate->store().session().deadline.has_value(); }));
    };
    const auto answer = [&](const QString &button) {
        ASSERT_FALSE(delegate->applicationShouldTerminate());
        const auto question = shownNamed("quitQuestion");
        ASSERT_EQ(question.size(), 1);
        EXPECT_EQ(question[0]->text(),
                  L10n::text({"{0} returns to Normal only while Pellor is open.",
                              {Profile::focus().localizedTitle()}}));
        for (QAbstractButton *choice : question[0]->buttons())
            if (choice->text() == button)
                choice->click();
    };

    startTimedFocus();
    answer(L10n::text("Cancel"));
    answer(L10n::text("Return to Normal and Quit"));
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(service->applied.last(), Profile::normal());
    service->fail(ConfigurationError::message("refused"));
    ASSERT_TRUE(waitUntil([&] { return shownNamed("switchErrorAlert").size() == 1; }));
    EXPECT_EQ(quits, 0) << "a failed return keeps Pellor open, the timer still running";
    EXPECT_TRUE(delegate->store().session().deadline);
    answer(L10n::text("Return to Normal and Quit"));
    service->succeed();
    EXPECT_TRUE(waitUntil([&] { return quits == 1; }));

    startTimedFocus();
    answer(L10n::text("Quit"));
    EXPECT_EQ(quits, 2);

    startTimedFocus();
    delegate->switchProfile(QStringLiteral("vibe"));
    delegate->terminateWhenIdle();
    EXPECT_EQ(quits, 2) << "the apply under way finishes first";
    service->succeed();
    EXPECT_TRUE(waitUntil([&] { return quits == 3; }));
    EXPECT_TRUE(shownNamed("quitQuestion").isEmpty());
}

TEST_F(DelegateTest, TheMenuIsRebuiltOnEveryLibraryChangeAndNamesPellorInItsAboutPanel) {
    storage->bytes =
        documentBytes(QList<Profile>(Profile::presets()) << customProfile("night", "Overnight"));
    start();
    EXPECT_EQ(menuItem("Overnight")->shortcut(),
              QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_6)));
    EXPECT_FALSE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled());
    delegate->workspace()->select("night");
    delegate->workspace()->deleteProfile();
    EXPECT_EQ(menuItem("Overnight"), nullptr);
    EXPECT_TRUE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled()) << "enabled at once";
    menuItem(L10n::text("Undo Profile Deletion"))->trigger();
    EXPECT_NE(menuItem("Overnight"), nullptr);
    EXPECT_EQ(delegate->workspace()->selectedID(), "night") << "the profile back is selected";
    EXPECT_FALSE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled());

    menuItem(L10n::text("About Pellor"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return shownNamed("aboutPanel").size() == 1; }));
    QMessageBox *panel = shownNamed("aboutPanel")[0];
    EXPECT_EQ(panel->text(), "<b>Pellor</b><br>1.2");
    EXPECT_FALSE(panel->iconPixmap().isNull());
}

// With every window closed their views are released; the models keep the state the views come
// back with (an apply still pending among it), and nothing is read or redrawn meanwhile.
TEST_F(DelegateTest, ClosingEveryWindowReleasesTheViewsAndReopeningBringsBackTheState) {
    QList<Profile> profiles = Profile::presets();
    for (const QString &n : {"1", "2", "3", "4", "5", "6", "7", "8"})
        profiles << customProfile("night" + n, "Overnight " + n);
    storage->bytes = documentBytes(profiles);
    start();
    WorkspaceModel *model = delegate->workspace();
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    reader.deliver(snapshot(5, 15, "Power adapter"));
    delegate->window()->setGeometry(QRect(120, 90, 1000, 560)); // both columns scroll
    model->select("focus");
    model->setSearch("o");
    model->apply();
    ASSERT_TRUE(service->pending());
    ASSERT_TRUE(waitUntil([&] { return settled(view) && view->height() < 560; }));
    item(view, "profileList")->setProperty("contentY", 60.0);
    item(view, "detailScroller")->setProperty("contentY", 90.0);
    showSettings();
    delegate->settingsWindow()->move(40, 50);
    const QRect frame = delegate->window()->geometry();
    const QRect settingsFrame = delegate->settingsWindow()->geometry();

    delegate->settingsWindow()->close();
    menuItem(L10n::text("Close Window"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return !delegate->window() && !delegate->settingsWindow(); }));
    EXPECT_EQ(delegate->dashboard(), nullptr);
    const int revision = model->revision();
    const int reads = reader.started; // the workspace's and the settings window's
    for (int second = 0; second < 12; ++second) {
        now = now.addSecs(1);
        delegate->refresh();
    }
    EXPECT_EQ(reader.started, reads) << "no live reads while closed";
    EXPECT_EQ(model->revision(), revision) << "no view work while closed";

    menuItem(L10n::text("Open Main Window"))->trigger();
    ASSERT_TRUE(delegate->window() && QTest::qWaitForWindowExposed(delegate->window()));
    view = delegate->dashboard();
    ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    EXPECT_EQ(delegate->window()->geometry(), frame);
    EXPECT_EQ(textOf(item(view, "searchField")), "o");
    EXPECT_EQ(textOf(item(view, "heroTitle")), Profile::focus().localizedTitle());
    EXPECT_TRUE(item(view, "profileRow.focus")->property("selected").toBool());
    EXPECT_EQ(item(view, "profileList")->property("contentY").toDouble(), 60.0);
    EXPECT_EQ(item(view, "detailScroller")->property("contentY").toDouble(), 90.0);
    EXPECT_TRUE(shown(item(view, "applyingIndicator"))) << "the pending apply";
    EXPECT_FALSE(item(view, "applyButton")->isEnabled());
    delegate->window()->grab().save(screenshotPath("workspace-reopened"));
    service->succeed();
    EXPECT_TRUE(waitUntil([&] { return item(view, "applyButton")->isEnabled(); }));
    EXPECT_FALSE(shown(item(view, "applyingIndicator")));
    EXPECT_TRUE(waitUntil([&] { return reader.started == reads + 1; })) << "the overdue read";
    showSettings();
    EXPECT_EQ(delegate->settingsWindow()->geometry(), settingsFrame);
}

TEST_F(DelegateTest, APanelOpenedAgainWithinTheGraceIsNotBuiltAgain) {
    releaseDelay = std::chrono::hours(1);
    start();
    delegate->window()->close();
    MenuBarController *menuBar = delegate->menuBar();
    delegate->showMenuBar();
    QuickPanel *panel = menuBar->popover();
    ASSERT_TRUE(waitUntil([&] { return panel->isVisible(); }));
    menuBar->closePopover();
    ASSERT_TRUE(waitUntil([&] { return delegate->releaseTimer()->isActive(); }));
    delegate->showMenuBar();
    EXPECT_EQ(menuBar->popover(), panel);
    menuBar->closePopover();
    delegate->releaseTimer()->start(0); // the grace runs out
    EXPECT_TRUE(waitUntil([&] { return !menuBar->popover() && !delegate->window(); }));
}
