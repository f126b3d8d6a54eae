// The real main window with the real QML, against the simulated Mac: choosing a profile,
// changing its settings through the pickers, applying it, and what the window shows meanwhile.
#include "App/AppDelegate.h"
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatorState.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

struct WindowTest : ::testing::Test {
    void SetUp() override {
        QSettings().clear();
        QFile::remove(FileProfileStorage::defaultLocation());
        sim::SimulatorState::reset(simulatorHome());
    }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
    }

    void start(AppDelegate::Options options = {}) {
        delegate = std::make_unique<AppDelegate>(std::move(options));
        delegate->applicationDidFinishLaunching();
        view = delegate->dashboard();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
        ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    }
    QQuickItem *find(const QString &name) const { return item(view, name); }
    QString text(const QString &name) const { return textOf(find(name)); }
    WorkspaceModel *model() const { return view->model(); }

    // Chooses a value from a picker's menu.
    void pick(const QString &picker, int minutes) {
        click(view, picker + ".button");
        click(view, QStringLiteral("%1.option.%2").arg(picker).arg(minutes));
    }
    // Types into the custom entry's text field, replacing what it holds.
    void typeCustom(const QString &picker, const QString &text) {
        click(view, picker + ".customField");
        QQuickItem *field = find(picker + ".customField");
        ASSERT_TRUE(waitUntil([&] { return field && field->hasActiveFocus(); }));
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Backspace);
        QTest::keyClicks(view, text);
    }
    int visibleBadges() const {
        int count = 0;
        for (const Profile &profile : delegate->library().profiles())
            if (shown(find("activeBadge." + profile.id)))
                ++count;
        return count;
    }

    std::unique_ptr<AppDelegate> delegate;
    DashboardController *view = nullptr;
};

} // namespace

TEST_F(WindowTest, ChangingAndApplyingAProfileUpdatesTheSimulatedMac) {
    start();
    click(view, "profileRow.download");
    ASSERT_TRUE(waitUntil([&] { return model()->selectedID() == "download"; }));
    EXPECT_EQ(text("heroTitle"), Profile::download().localizedTitle());

    // A preset value from the menu.
    pick("displayPicker", 10);
    ASSERT_TRUE(
        waitUntil([&] { return delegate->library().profile("download")->displayMinutes == 10; }));
    EXPECT_TRUE(waitUntil([&] {
        return text("displayPicker.label") == L10n::text({"{0} min", {"10"}});
    }));

    // A custom value: rejected input shows the red message and keeps the entry open.
    click(view, "sleepPicker.button");
    click(view, "sleepPicker.custom");
    ASSERT_TRUE(waitUntil([&] { return opened(popup(view, "sleepPicker.customEntry")); }));
    EXPECT_FALSE(shown(find("sleepPicker.invalidMessage")));
    typeCustom("sleepPicker", "4.5");
    click(view, "sleepPicker.customOK");
    ASSERT_TRUE(waitUntil([&] { return shown(find("sleepPicker.invalidMessage")); }));
    EXPECT_EQ(find("sleepPicker.invalidMessage")->property("color").value<QColor>(),
              QColor(0xd9, 0x3a, 0x32));
    EXPECT_TRUE(opened(popup(view, "sleepPicker.customEntry")));
    EXPECT_EQ(delegate->library().profile("download")->sleepMinutes, 0);

    typeCustom("sleepPicker", "45");
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(
        waitUntil([&] { return delegate->library().profile("download")->sleepMinutes == 45; }));
    EXPECT_TRUE(waitUntil([&] { return !opened(popup(view, "sleepPicker.customEntry")); }));

    // Apply, through the real configuration engine and the stand-in tools.
    EXPECT_EQ(text("statusLine"), L10n::text("This profile is not applied"));
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil(
        [&] { return delegate->store().hasAppliedProfile() && !delegate->store().isApplying(); },
        30'000));
    const sim::SimulatorState mac = sim::SimulatorState::load(simulatorHome());
    for (const auto &source : {mac.battery, mac.adapter}) {
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->number("displaysleep"), 10);
        EXPECT_EQ(source->number("sleep"), 45);
    }
    const QString applied = L10n::text({"{0} applied", {Profile::download().localizedTitle()}});
    EXPECT_TRUE(waitUntil([&] { return text("statusLine") == applied; }))
        << text("statusLine").toStdString();
    EXPECT_EQ(text("applyButton"), L10n::text("Reapply"));
    EXPECT_TRUE(shown(find("heroActiveBadge")));
    EXPECT_EQ(visibleBadges(), 1);
    EXPECT_TRUE(shown(find("activeBadge.download")));
}

TEST_F(WindowTest, TheActiveBadgeMovesWithTheAppliedProfile) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    EXPECT_EQ(visibleBadges(), 0);

    click(view, "profileRow.vibe");
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(visibleBadges(), 0) << "not before the apply succeeded";
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return visibleBadges() == 1 && shown(find("activeBadge.vibe")); }));

    click(view, "profileRow.focus");
    QTest::keyClick(view, Qt::Key_Return, Qt::ControlModifier); // the Apply shortcut
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return shown(find("activeBadge.focus")); }));
    EXPECT_EQ(visibleBadges(), 1);
    EXPECT_EQ(service->applied, (QList<Profile>{Profile::vibe(), Profile::focus()}));
}

TEST_F(WindowTest, TilesReadReadingUntilTheFirstSnapshotArrives) {
    ControlledSystemReader reader;
    start({.readSystem = [&reader] { return reader.read(); }});
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    for (const char *tile : {"displayTile.value", "sleepTile.value", "sourceTile.value"})
        EXPECT_EQ(text(tile), L10n::text("Reading")) << tile;

    reader.deliver(snapshot(std::nullopt, 20, "Battery"));
    ASSERT_TRUE(waitUntil([&] { return text("sourceTile.value") == "Battery"; }));
    EXPECT_EQ(text("displayTile.value"), L10n::text("Unavailable"));
    EXPECT_EQ(text("sleepTile.value"), L10n::text({"{0} min", {"20"}}));
}

TEST_F(WindowTest, TheWindowKeepsDrawingWhileAuthorizationIsPending) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    ASSERT_TRUE(waitUntil([&] { return shown(find("applyingIndicator")); }));
    EXPECT_FALSE(find("applyButton")->isEnabled());
    EXPECT_EQ(text("statusLine"), L10n::text("Applying profile…"));

    QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
    EXPECT_TRUE(waitUntil([&] { return frames.size() >= 10; }, 10'000))
        << "only " << frames.size() << " frames while the apply was pending";
    EXPECT_TRUE(delegate->store().isApplying());

    service->succeed();
    EXPECT_TRUE(waitUntil([&] { return find("applyButton")->isEnabled(); }));
}

TEST_F(WindowTest, ProfileActionsMenuOffersResetForPresetsAndDeleteForOwnProfiles) {
    start();
    click(view, "profileActions");
    ASSERT_TRUE(waitUntil([&] { return opened(popup(view, "profileActionsMenu")); }));
    ASSERT_TRUE(waitUntil([&] { return find("duplicateAction")->y() > find("editAction")->y(); }));
    EXPECT_TRUE(shown(find("resetAction")));
    EXPECT_FALSE(shown(find("deleteAction")));
    click(view, "duplicateAction");
    ASSERT_TRUE(waitUntil([&] { return delegate->library().profiles().size() == 6; }));
    const Profile copy = delegate->library().profiles().last();
    EXPECT_EQ(model()->selectedID(), copy.id);

    click(view, "profileActions");
    ASSERT_TRUE(waitUntil([&] { return opened(popup(view, "profileActionsMenu")); }));
    EXPECT_TRUE(shown(find("deleteAction")));
    EXPECT_FALSE(shown(find("resetAction")));
    // The menu lays out its new item on its first frame after opening.
    ASSERT_TRUE(
        waitUntil([&] { return find("deleteAction")->y() > find("duplicateAction")->y(); }));
    click(view, "deleteAction");
    if (!waitUntil([&] { return delegate->library().profiles().size() == 5; })) {
        delegate->window()->grab().save(screenshotPath("failure-delete"));
        FAIL() << "not deleted: " << model()->errorText().toStdString();
    }
    EXPECT_EQ(model()->selectedID(), "normal");
}

TEST_F(WindowTest, SearchFiltersTheSidebar) {
    start();
    click(view, "searchField");
    QTest::keyClicks(view, "zzz");
    ASSERT_TRUE(waitUntil([&] { return shown(find("noMatchesNotice")); }));
    EXPECT_FALSE(shown(find("profileRow.normal")));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Backspace);
    ASSERT_TRUE(waitUntil([&] { return shown(find("profileRow.normal")); }));
    EXPECT_FALSE(shown(find("noMatchesNotice")));
}

// Saves the window as a person sees it, in light and dark, in the language of this run
// (the test runs once more with LANGUAGE=ja).
TEST_F(WindowTest, Screenshots) {
    auto service = std::make_shared<ControlledConfiguring>();
    ControlledSystemReader reader;
    start({.configuration = service, .readSystem = [&reader] { return reader.read(); }});
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    reader.deliver(snapshot(5, 15, L10n::text("Power adapter")));
    click(view, "profileRow.focus");
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return shown(find("activeBadge.focus")); }));

    for (const auto &[choice, name] : {std::pair{1, "light"}, std::pair{2, "dark"}}) {
        delegate->changeAppearance(choice);
        QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
        ASSERT_TRUE(waitUntil([&] { return frames.size() >= 2; }));
        const QString path =
            screenshotPath(QStringLiteral("workspace-%1-%2").arg(L10n::currentLanguage(), name));
        EXPECT_TRUE(delegate->window()->grab().save(path)) << path.toStdString();
    }
}
