// The application delegate on the real window: start-up, the main menu and its rebuilding,
// profile switches from the menu, the alerts, the quit guard, the appearance choice across
// restarts, and the views released while every window is closed.
#include "App/AppDelegate.h"

#include "App/Appearance.h"
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

struct DelegateTest : ::testing::Test {
    void SetUp() override { QSettings().clear(); }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
    }

    void start(std::shared_ptr<ProfileStorage> storage = nullptr) {
        delegate = std::make_unique<AppDelegate>(
            AppDelegate::Options{.storage = storage ? std::move(storage) : this->storage,
                                 .configuration = service,
                                 .clock = [this] { return now; },
                                 .readSystem = [this] { return reader.read(); }});
        delegate->applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    }
    QAction *menuItem(const QString &title) const {
        return MainMenu::findAction(delegate->mainMenu(), title);
    }
    // The alerts with `name` that are open now.
    QList<QMessageBox *> alerts(const QString &name) const {
        QList<QMessageBox *> open;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(widget);
                box && box->objectName() == name && box->isVisible())
                open << box;
        return open;
    }
    void failApply(const QString &message) {
        ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
        service->fail(ConfigurationError::message(message));
        ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }));
    }

    std::shared_ptr<MemoryProfileStorage> storage = std::make_shared<MemoryProfileStorage>();
    std::shared_ptr<ControlledConfiguring> service = std::make_shared<ControlledConfiguring>();
    ControlledSystemReader reader;
    QDateTime now = kStart;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

TEST_F(DelegateTest, StartUpShowsTheWindowWithItsMenuAndStartsTheTick) {
    start();
    MainWindow *window = delegate->window();
    EXPECT_EQ(window->windowTitle(), "Pellor");
    EXPECT_EQ(window->size(), QSize(980, 740));
    EXPECT_EQ(window->minimumSize(), QSize(900, 540));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->menuBar(), delegate->mainMenu());
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    ASSERT_NE(delegate->timer(), nullptr);
    EXPECT_TRUE(delegate->timer()->isActive());
    EXPECT_EQ(delegate->timer()->interval(), 1000);
    EXPECT_EQ(delegate->store().timeLabel(), L10n::text("Using system settings"));
    EXPECT_EQ(reader.started, 1) << "the first refresh reads the live status";
    EXPECT_TRUE(alerts("profileErrorAlert").isEmpty());
}

TEST_F(DelegateTest, ALibraryThatFailedToLoadIsReportedAtStartUp) {
    start(std::make_shared<MemoryProfileStorage>(QByteArray("{ not json")));
    ASSERT_TRUE(delegate->library().loadError());
    const auto open = alerts("profileErrorAlert");
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->text(), L10n::text("Could Not Save Profile"));
    EXPECT_EQ(open[0]->informativeText(), *delegate->library().loadError());
    EXPECT_EQ(open[0]->windowModality(), Qt::WindowModal);
    // Styled like the application: a bold title over a body wide enough to read.
    auto *title = open[0]->findChild<QLabel *>("qt_msgbox_label");
    auto *body = open[0]->findChild<QLabel *>("qt_msgbox_informativelabel");
    ASSERT_TRUE(title && body);
    title->ensurePolished();
    body->ensurePolished();
    EXPECT_TRUE(title->font().bold());
    EXPECT_GE(body->minimumWidth(), 340);
}

TEST_F(DelegateTest, EachSessionErrorIsShownOnce) {
    start();
    delegate->switchProfile(QStringLiteral("focus"));
    failApply("The first failure");
    ASSERT_TRUE(waitUntil([&] { return alerts("switchErrorAlert").size() == 1; }));
    EXPECT_EQ(alerts("switchErrorAlert")[0]->text(), L10n::text("Could Not Switch Profile"));
    EXPECT_EQ(alerts("switchErrorAlert")[0]->informativeText(), "The first failure");
    EXPECT_FALSE(delegate->store().errorMessage()) << "cleared before the alert";

    delegate->refresh();
    EXPECT_EQ(alerts("switchErrorAlert").size(), 1);

    delegate->switchProfile(QStringLiteral("focus"));
    failApply("The second failure");
    ASSERT_TRUE(waitUntil([&] { return alerts("switchErrorAlert").size() == 2; }));
}

TEST_F(DelegateTest, QuittingIsRefusedWhileAProfileIsBeingApplied) {
    start();
    EXPECT_TRUE(delegate->applicationShouldTerminate());
    delegate->switchProfile(QStringLiteral("vibe"));
    ASSERT_TRUE(service->pending());

    EXPECT_FALSE(delegate->applicationShouldTerminate());
    const auto open = alerts("quitGuardAlert");
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->text(), L10n::text("Complete or Cancel Authorization First"));
    EXPECT_EQ(
        open[0]->informativeText(),
        L10n::text(
            "Wait until settings are saved so verification or rollback can finish before quitting."));
    EXPECT_EQ(open[0]->windowModality(), Qt::ApplicationModal);

    // The platform's own request to quit is refused the same way.
    QEvent quit(QEvent::Quit);
    EXPECT_TRUE(QCoreApplication::sendEvent(qApp, &quit));
    EXPECT_FALSE(quit.isAccepted());

    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }));
    EXPECT_TRUE(delegate->applicationShouldTerminate());
}

TEST_F(DelegateTest, TheMenuIsRebuiltOnEveryLibraryChange) {
    QList<Profile> profiles = Profile::presets();
    profiles << customProfile("night", "Overnight");
    storage->bytes = documentBytes(profiles);
    start();
    ASSERT_NE(menuItem("Overnight"), nullptr);
    EXPECT_EQ(menuItem("Overnight")->shortcut(),
              QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_6)));
    EXPECT_FALSE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled());

    WorkspaceModel *model = delegate->dashboard()->model();
    model->select("night");
    model->deleteProfile();
    EXPECT_EQ(menuItem("Overnight"), nullptr);
    EXPECT_TRUE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled()) << "enabled at once";

    menuItem(L10n::text("Undo Profile Deletion"))->trigger();
    EXPECT_TRUE(delegate->library().profile("night"));
    EXPECT_NE(menuItem("Overnight"), nullptr);
    EXPECT_FALSE(menuItem(L10n::text("Undo Profile Deletion"))->isEnabled());
}

TEST_F(DelegateTest, SwitchingFromTheMenuAppliesWithTheProfilesOwnTimer) {
    start();
    delegate->switchProfile(QStringLiteral("no-such-profile"));
    delegate->switchProfile(QVariant(3));
    EXPECT_TRUE(service->applied.isEmpty())
        << "unknown identifiers and non-text objects do nothing";

    menuItem(Profile::focus().localizedTitle())->trigger();
    ASSERT_EQ(service->applied, QList<Profile>{Profile::focus()});
    delegate->switchProfile(QStringLiteral("vibe"));
    EXPECT_EQ(service->applied.size(), 1) << "ignored while applying";

    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    ASSERT_TRUE(delegate->store().session().deadline);
    EXPECT_EQ(*delegate->store().session().deadline, kStart.addSecs(25 * 60));
}

TEST_F(DelegateTest, TheAppearanceChoiceAppliesAtOnceAndAtTheNextStart) {
    Theme theme;
    start();
    EXPECT_TRUE(menuItem(L10n::text("System"))->isChecked());
    menuItem(L10n::text("Dark"))->trigger();
    EXPECT_EQ(QSettings().value("appearanceChoice").toInt(), 2);
    EXPECT_TRUE(theme.dark());
    EXPECT_TRUE(menuItem(L10n::text("Dark"))->isChecked());
    EXPECT_FALSE(menuItem(L10n::text("System"))->isChecked());

    delegate.reset();
    QApplication::setPalette(Appearance::palette(Appearance::light));
    start();
    EXPECT_TRUE(theme.dark()) << "restored at start-up";
    EXPECT_TRUE(menuItem(L10n::text("Dark"))->isChecked());

    delegate.reset();
    QSettings().setValue("appearanceChoice", 5);
    start();
    for (const QString &title : {L10n::text("System"), L10n::text("Light"), L10n::text("Dark")})
        EXPECT_FALSE(menuItem(title)->isChecked()) << title.toStdString();
    EXPECT_EQ(theme.dark(), Theme::isDark(QApplication::style()->standardPalette()));
}

// With every window closed their views are released; the models keep the state the views come
// back with, and nothing is read or redrawn meanwhile.
TEST_F(DelegateTest, ClosingEveryWindowReleasesTheViewsAndReopeningBringsBackTheState) {
    start();
    reader.deliver(snapshot(5, 15, "Power adapter"));
    WorkspaceModel *model = delegate->workspace();
    ASSERT_TRUE(waitUntil([&] { return model->snapshot().has_value(); }));
    delegate->window()->setGeometry(QRect(120, 90, 1100, 800));
    model->select("focus");
    model->setSearch("o");
    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
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
    ASSERT_NE(delegate->window(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    DashboardController *view = delegate->dashboard();
    ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    EXPECT_EQ(delegate->window()->geometry(), frame);
    EXPECT_EQ(textOf(item(view, "searchField")), "o");
    EXPECT_EQ(textOf(item(view, "heroTitle")), Profile::focus().localizedTitle());
    EXPECT_TRUE(item(view, "profileRow.focus")->property("selected").toBool());
    delegate->window()->grab().save(screenshotPath("workspace-reopened"));
    delegate->refresh();
    EXPECT_EQ(reader.started, reads + 1) << "open again: the overdue read starts";

    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    EXPECT_EQ(delegate->settingsWindow()->geometry(), settingsFrame);
}

TEST_F(DelegateTest, AWindowReopenedWhileAnApplyIsPendingShowsIt) {
    start();
    delegate->workspace()->select("focus");
    delegate->workspace()->apply();
    ASSERT_TRUE(service->pending());
    delegate->window()->close();
    ASSERT_TRUE(waitUntil([&] { return !delegate->window(); }));

    delegate->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    DashboardController *view = delegate->dashboard();
    EXPECT_TRUE(waitUntil([&] { return shown(item(view, "applyingIndicator")); }));
    EXPECT_FALSE(item(view, "applyButton")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    QSignalSpy frame(view->quickWindow(), &QQuickWindow::afterRendering);
    view->quickWindow()->update();
    ASSERT_TRUE(frame.wait()); // the detail is drawn, for the screenshot
    delegate->window()->grab().save(screenshotPath("workspace-reopened-applying"));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return !delegate->store().isApplying(); }));
    EXPECT_TRUE(waitUntil([&] { return item(view, "applyButton")->isEnabled(); }));
    EXPECT_FALSE(shown(item(view, "applyingIndicator")));
}

TEST_F(DelegateTest, TheWindowFrameIsRestoredAtTheNextStart) {
    start();
    delegate->window()->resize(1100, 800);
    ASSERT_TRUE(waitUntil([&] { return delegate->window()->size() == QSize(1100, 800); }));
    delegate->window()->saveFrame();
    delegate.reset();
    start();
    EXPECT_EQ(delegate->window()->size(), QSize(1100, 800));
}

TEST_F(DelegateTest, TheAboutPanelNamesTheApplicationItsVersionAndCredits) {
    start();
    menuItem(L10n::text("About Pellor"))->trigger();
    QMessageBox *panel = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "aboutPanel" && widget->isVisible())
                panel = qobject_cast<QMessageBox *>(widget);
        return panel != nullptr;
    }));
    EXPECT_EQ(panel->text(), "<b>Pellor</b><br>1.2");
    EXPECT_EQ(panel->informativeText(),
              L10n::text("Switch your Mac settings with ease.\nNative SwiftUI · Settings presets"));
    EXPECT_FALSE(panel->iconPixmap().isNull());
}

TEST_F(DelegateTest, HideAndShowAllTakeEveryWindowAlong) {
    start();
    menuItem(L10n::text("Hide Pellor"))->trigger();
    EXPECT_FALSE(delegate->window()->isVisible());
    menuItem(L10n::text("Show All"))->trigger();
    EXPECT_TRUE(delegate->window()->isVisible());
}
