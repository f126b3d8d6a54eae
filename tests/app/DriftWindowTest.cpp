// The main window against the simulated Mac when someone changes an applied profile's settings
// outside Pellor: the footer and the quick panel say so and Reapply sets them again. Screenshots
// light and dark.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "App/MainWindow.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "MenuBar/MenuBarController.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "SimulatorState.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

TEST(DriftWindowTest, AnOutsideChangeOffersReapplyAndReapplyClearsIt) {
    QSettings().clear();
    QFile::remove(FileProfileStorage::defaultLocation());
    sim::SimulatorState::reset(simulatorHome());
    Appearance::apply(Appearance::light);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    DashboardController *view = delegate.dashboard();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.window()));
    ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    const auto status = [&] { return textOf(item(view, "statusLine")); };
    const auto applyDone = [&] {
        return waitUntil(
            [&] { return delegate.store().hasAppliedProfile() && !delegate.store().isApplying(); },
            30'000);
    };

    const QString title = Profile::normal().localizedTitle(); // Normal is selected at start
    const QString applied = L10n::text({"{0} applied", {title}});
    click(view, "applyButton");
    ASSERT_TRUE(applyDone());
    ASSERT_TRUE(waitUntil([&] { return status() == applied; }, 15'000)) << status().toStdString();

    // Someone sets the display to sleep after 30 minutes in System Settings.
    auto mac = sim::SimulatorState::load(simulatorHome());
    mac.adapter->set(QStringLiteral("displaysleep"), 30);
    mac.save(simulatorHome());
    const QString drifted = L10n::text({"{0} applied · changed outside Pellor", {title}});
    ASSERT_TRUE(waitUntil([&] { return status() == drifted; }, 15'000)) << status().toStdString();
    EXPECT_EQ(textOf(item(view, "applyButton")), L10n::text("Reapply"));
    for (const auto &[choice, name] :
         {std::pair{int(Appearance::light), "light"}, std::pair{int(Appearance::dark), "dark"}}) {
        delegate.changeAppearance(choice);
        ASSERT_TRUE(waitUntil([&] { return Theme().dark() == (choice == Appearance::dark); }));
        QTest::qWait(150); // the next frames
        EXPECT_TRUE(delegate.window()->grab().save(
            screenshotPath(QStringLiteral("workspace-drift-%1").arg(name))));
    }
    delegate.changeAppearance(int(Appearance::light));

    // The quick panel tells it too, and its Reapply sets the profile again.
    delegate.showMenuBar();
    QQuickWidget *panel = delegate.menuBar()->popover();
    ASSERT_TRUE(waitUntil([&] { return panel->isVisible(); }));
    QQuickItem *reapply = findItem(panel->quickWindow()->contentItem(), "reapplyButton");
    ASSERT_TRUE(waitUntil([&] { return shown(reapply); }));
    QTest::qWait(150);
    EXPECT_TRUE(panel->grab().save(screenshotPath(QStringLiteral("quick-panel-drift-light"))));
    QTest::mouseClick(
        panel, Qt::LeftButton, {},
        reapply->mapToScene(QPointF(reapply->width() / 2, reapply->height() / 2)).toPoint());
    // The footer turns back once the reapplied settings are read.
    EXPECT_TRUE(waitUntil([&] { return status() == applied; }, 15'000)) << status().toStdString();
    EXPECT_EQ(sim::SimulatorState::load(simulatorHome()).adapter->number("displaysleep"), 5);
}
