// The real main window with the real QML, against the simulated Mac: choosing a profile,
// changing its settings through the pickers, applying it, and what the window shows meanwhile.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatorState.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
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
    // How many pixels of `target` differ clearly from `background`: something is drawn there.
    int inkedPixels(QQuickItem *target, const QColor &background) const {
        view->quickWindow()->update();
        QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
        frames.wait(2000);
        const QImage frame = view->grabFramebuffer();
        const qreal ratio = frame.devicePixelRatio();
        const QRect area =
            QRectF(target->mapToScene(QPointF(0, 0)) * ratio, target->size() * ratio).toRect();
        int inked = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor pixel = frame.pixelColor(x, y);
                if (std::abs(pixel.red() - background.red()) +
                        std::abs(pixel.green() - background.green()) +
                        std::abs(pixel.blue() - background.blue()) >
                    60)
                    ++inked;
            }
        return inked;
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

// The focus ring a control draws for the keyboard focus, if any.
QQuickItem *focusRing(QQuickItem *control) {
    for (QQuickItem *child : control ? control->childItems() : QList<QQuickItem *>())
        if (child->objectName() == "focusRing")
            return child;
    return nullptr;
}

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
    // The entry's buttons are the application's: OK prominent in the picker's tint.
    EXPECT_TRUE(find("sleepPicker.customOK")->property("prominent").toBool());
    EXPECT_EQ(find("sleepPicker.customOK")->property("accent").value<QColor>(),
              model()->selected()->accent());
    EXPECT_FALSE(find("sleepPicker.customCancel")->property("prominent").toBool());
    typeCustom("sleepPicker", "4.5");
    click(view, "sleepPicker.customOK");
    ASSERT_TRUE(waitUntil([&] { return shown(find("sleepPicker.invalidMessage")); }));
    EXPECT_EQ(find("sleepPicker.invalidMessage")->property("color").value<QColor>(),
              QColor(0xd9, 0x3a, 0x32));
    EXPECT_TRUE(opened(popup(view, "sleepPicker.customEntry")));
    EXPECT_EQ(delegate->library().profile("download")->sleepMinutes, 0);
    delegate->changeAppearance(Appearance::dark);
    QTest::qWait(150);
    view->window()->grab().save(screenshotPath("custom-entry-dark"));
    delegate->changeAppearance(Appearance::light);

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
    // The indicator is really drawn, in the footer's own opaque colour around it.
    QQuickItem *footer = find("applyFooter");
    EXPECT_EQ(footer->property("color").value<QColor>().alpha(), 255);
    for (const int choice : {int(Appearance::light), int(Appearance::dark)}) {
        delegate->changeAppearance(choice);
        EXPECT_GT(inkedPixels(find("applyingIndicator"), footer->property("color").value<QColor>()),
                  20)
            << "appearance " << choice;
    }
    view->window()->grab().save(screenshotPath("workspace-applying-dark"));

    service->succeed();
    EXPECT_TRUE(waitUntil([&] { return find("applyButton")->isEnabled(); }));
}

// The edit keys and the Edit menu with no text field focused, and while an authorization is
// pending: nothing happens and the process lives on. In a text field they edit it.
TEST_F(WindowTest, EditKeysGoToTheFocusedTextFieldOrDoNothing) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    const Qt::Key keys[] = {Qt::Key_C, Qt::Key_Z, Qt::Key_X, Qt::Key_V, Qt::Key_A};
    const QString items[] = {L10n::text("Undo"), L10n::text("Cut"), L10n::text("Copy"),
                             L10n::text("Paste"), L10n::text("Select All")};
    const auto pressEverything = [&] {
        for (const Qt::Key key : keys)
            QTest::keyClick(view, key, Qt::ControlModifier);
        for (const QString &title : items)
            MainMenu::findAction(delegate->mainMenu(), title)->trigger();
    };
    click(view, "profileRow.vibe");
    ASSERT_TRUE(waitUntil([&] { return model()->selectedID() == "vibe"; }));
    pressEverything();

    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    pressEverything();
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    EXPECT_EQ(delegate->store().profile().id, "vibe");

    // In the search field the Edit menu edits the text.
    click(view, "searchField");
    QTest::keyClicks(view, "Focus");
    MainMenu::findAction(delegate->mainMenu(), L10n::text("Select All"))->trigger();
    MainMenu::findAction(delegate->mainMenu(), L10n::text("Cut"))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Focus");
    EXPECT_EQ(model()->search(), "");
    MainMenu::findAction(delegate->mainMenu(), L10n::text("Paste"))->trigger();
    EXPECT_EQ(model()->search(), "Focus");
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

// Whether `inner` lies within `outer` on the screen (one pixel of rounding allowed).
bool inside(QQuickItem *inner, QQuickItem *outer) {
    const QRectF a = inner->mapRectToScene(inner->boundingRect());
    const QRectF b = outer->mapRectToScene(outer->boundingRect()).adjusted(-1, -1, 1, 1);
    return b.contains(a);
}

// The longest titles stay inside the hero, at the minimum window size, with the badge whole.
TEST_F(WindowTest, LongTitlesStayInsideTheHero) {
    auto service = std::make_shared<ControlledConfiguring>();
    start({.configuration = service});
    delegate->window()->resize(MainWindow::minimumFrameSize);
    const QStringList titles = {QString(32, 'W'), "Overnight Downloads and Backups!",
                                QString(32, QChar(0x7720)), // 眠
                                Profile::focus().localizedTitle()};
    for (const QString &title : titles) {
        Profile profile(title.left(4) + "-id", title, ProfileIcon::download, 10, 0, 600, 0);
        if (title == Profile::focus().localizedTitle())
            profile = Profile::focus();
        else
            delegate->library().save(profile);
        model()->select(profile.id);
        model()->apply();
        ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
        service->succeed();
        ASSERT_TRUE(waitUntil([&] { return shown(find("heroActiveBadge")); }));
        ASSERT_TRUE(waitUntil([&] { return text("heroTitle") == title; }));
        QQuickItem *hero = find("hero");
        QQuickItem *heading = find("heroTitle");
        EXPECT_TRUE(inside(heading, hero)) << title.toStdString();
        EXPECT_TRUE(inside(find("heroActiveBadge"), hero)) << title.toStdString();
        EXPECT_LE(heading->property("lineCount").toInt(), 2);
        EXPECT_LE(heading->mapRectToScene(heading->boundingRect()).right(),
                  find("heroActiveBadge")->mapRectToScene(QRectF(0, 0, 1, 1)).left());
        if (title.size() < 10)
            EXPECT_FALSE(heading->property("truncated").toBool()) << "a short title is whole";
        QTest::qWait(200); // the symbols are drawn off the main thread
        view->window()->grab().save(screenshotPath(
            QStringLiteral("workspace-title-minimum-%1").arg(titles.indexOf(title))));
    }
}

// A failing live read shows its error line at the default size without scrolling.
TEST_F(WindowTest, TheReadErrorIsVisibleAtTheDefaultSize) {
    ControlledSystemReader reader;
    start({.readSystem = [&reader] { return reader.read(); }});
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    SystemSettings failed = snapshot(std::nullopt, std::nullopt, L10n::text("Unavailable"));
    failed.error = "pmset: exit status 1 (pmset -g live)";
    reader.deliver(failed);
    QQuickItem *error = find("liveStatusError");
    ASSERT_TRUE(waitUntil([&] { return shown(error); }));
    ASSERT_EQ(delegate->window()->size(), MainWindow::defaultSize);
    EXPECT_EQ(find("detailScroller")->property("contentY").toReal(), 0);
    const QRectF line = error->mapRectToScene(error->boundingRect());
    const QRectF footer = find("applyFooter")->mapRectToScene(find("applyFooter")->boundingRect());
    EXPECT_LE(line.bottom(), footer.top()) << "the error line hides under the footer";
    view->window()->grab().save(screenshotPath("workspace-read-error"));
}

// Every tab stop shows a clear focus ring in light and dark, Space and Return act on the
// focused control, and every control has an accessible name.
TEST_F(WindowTest, EveryTabStopShowsItsFocusAndTheKeysActOnIt) {
    start();
    model()->select("presentation"); // a profile with an automatic return
    view->setFocus(Qt::OtherFocusReason);
    for (const int choice : {int(Appearance::light), int(Appearance::dark)}) {
        delegate->changeAppearance(choice);
        QList<QQuickItem *> stops;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(view, Qt::Key_Tab);
            QQuickItem *focus = view->quickWindow()->activeFocusItem();
            if (stops.contains(focus))
                break;
            stops << focus;
            const QString name = focus ? focus->objectName() : QStringLiteral("<none>");
            ASSERT_TRUE(shown(focusRing(focus))) << name.toStdString();
            EXPECT_GT(inkedPixels(focusRing(focus), Theme().workspaceBackground()), 40)
                << name.toStdString() << " in appearance " << choice;
        }
        EXPECT_EQ(stops.size(), 17) << "search, five rows, two sidebar buttons, the actions, "
                                       "four pickers, three tiles and Apply";
    }
    view->window()->grab().save(screenshotPath("workspace-focus-dark"));

    // Space and Return act on what has the focus.
    const auto tabTo = [&](const QString &name) {
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(view, Qt::Key_Tab);
            if (view->quickWindow()->activeFocusItem()->objectName() == name)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(tabTo("profileRow.focus"));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(waitUntil([&] { return model()->selectedID() == "focus"; }));
    ASSERT_TRUE(tabTo("profileRow.vibe"));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return model()->selectedID() == "vibe"; }));
    ASSERT_TRUE(tabTo("profileActions"));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return opened(popup(view, "profileActionsMenu")); }));
    QTest::keyClick(view, Qt::Key_Escape);

    QList<std::pair<QAccessible::Role, QString>> controls;
    pressables(QAccessible::queryAccessibleInterface(view), controls);
    EXPECT_EQ(controls.size(), 16) << "every tab stop but the search field";
    for (const auto &[role, name] : controls)
        EXPECT_FALSE(name.trimmed().isEmpty()) << "a control of role " << role << " has no name";
    EXPECT_TRUE(controls.contains({QAccessible::Button, L10n::text("Profile Actions")}));
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
