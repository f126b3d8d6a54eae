// The status item in a real system tray: a tray host (trayer) runs on the test's X server, the
// status item docks into it, and a click on it opens the quick panel under it. Skipped when no
// tray host can be started here.
#include "App/MainMenu.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "MenuBar/PellorMenuIcon.h"
#include "Profiles/ProfileLibrary.h"
#include "UiTestSupport.h"

#include <QAccessible>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// The widget Qt docks into the tray for the status item.
QWidget *dockedIcon() {
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (QByteArray(widget->metaObject()->className()) == "QSystemTrayIconSys")
            return widget;
    return nullptr;
}

struct TrayTest : WindowTest {
    void SetUp() override {
        // trayer docked at the top right of the screen, until the test ends.
        tray.start(QStandardPaths::findExecutable("trayer"),
                   {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "28",
                    "--SetDockType", "true", "--expand", "true"});
        if (!tray.waitForStarted(5000) ||
            !waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
            GTEST_SKIP() << "no tray host: trayer is missing or shows no system tray here";
        WindowTest::SetUp();
        if (atLogin) {
            // Without a window to wait for, the tray host's start may still be settling: Qt
            // docks the icon again when it has, so the test looks at the status item only.
            delegate = std::make_unique<AppDelegate>(
                AppDelegate::Options{.configuration = service, .openedAtLogin = true});
            delegate->applicationDidFinishLaunching();
            statusItem = delegate->menuBar()->statusItem();
            ASSERT_NE(statusItem, nullptr);
            ASSERT_TRUE(waitUntil([&] { return statusItem->geometry().isValid(); }));
            return;
        }
        start({.configuration = service});
        statusItem = delegate->menuBar()->statusItem();
        ASSERT_NE(statusItem, nullptr);
        ASSERT_TRUE(waitUntil([&] {
            icon = dockedIcon();
            return icon && icon->isVisible() && statusItem->geometry().isValid();
        }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(icon));
    }
    void clickStatusItem() { QTest::mouseClick(icon, Qt::LeftButton, {}, icon->rect().center()); }

    bool atLogin = false; // Pellor started by Open at Login
    QProcess tray;        // killed when the test ends
    QSystemTrayIcon *statusItem = nullptr;
    QWidget *icon = nullptr;
};

} // namespace

TEST_F(TrayTest, AClickOnTheStatusItemTogglesThePanelUnderItAndTheItemShowsTheProfile) {
    const auto iconImage = [&] {
        return statusItem->icon()
            .pixmap(QSize(48, 48))
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    // The desktop's ink, whatever Pellor's own appearance: the icon sits on the desktop's panel.
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    for (const int choice : {int(Appearance::dark), int(Appearance::light)}) {
        delegate->changeAppearance(choice);
        delegate->refresh();
        EXPECT_EQ(iconImage(), PellorMenuIcon::image(false, 48, ink, PellorMenuIcon::haloFor(ink)))
            << "appearance " << choice;
    }
    delegate->changeAppearance(Appearance::system);
    EXPECT_EQ(statusItem->toolTip(), "Pellor · " + L10n::text("Current System Configuration") +
                                         " · " + L10n::text("Using system settings"));

    clickStatusItem();
    ASSERT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel()));
    const QRect anchor = statusItem->geometry();
    const QRect screen = QGuiApplication::screenAt(anchor.center())->availableGeometry();
    const QRect frame = panel()->geometry();
    EXPECT_EQ(frame.size(), QSize(340, std::min(195 + 63 * 5, screen.height() - 40)));
    EXPECT_EQ(frame.top(), anchor.bottom() + 1);
    EXPECT_TRUE(screen.contains(frame)) << "the panel stays on the screen";
    EXPECT_TRUE(frame.left() <= anchor.center().x() && anchor.center().x() <= frame.right());
    settle(panel());
    panel()->repaint(); // on the screen before the X server is asked for it
    ASSERT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(
        screenshotPath("tray-quick-panel-light")));

    clickStatusItem();
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    // The same click must not open it again: what it set off is handled before a later marker.
    bool markerHandled = false;
    QMetaObject::invokeMethod(
        qApp, [&] { markerHandled = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(waitUntil([&] { return markerHandled; }));
    EXPECT_FALSE(panel()->isVisible());
    // Once the click that closed it is past, a click opens it again.
    ASSERT_TRUE(waitUntil([&] {
        if (!panel()->isVisible())
            clickStatusItem();
        return panel()->isVisible();
    }));

    QTest::keyClick(panel(), Qt::Key_Down);
    QTest::keyClick(panel(), Qt::Key_Down);
    QTest::keyClick(panel(), Qt::Key_Return); // Vibe
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_FALSE(panel()->isVisible());
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    delegate->refresh();
    EXPECT_EQ(iconImage(), PellorMenuIcon::image(true, 48, ink, PellorMenuIcon::haloFor(ink)));
    EXPECT_EQ(statusItem->toolTip(), "Pellor · " + Profile::vibe().localizedTitle() + " · " +
                                         delegate->store().timeLabel());
    // The docked widget is a button named for the profile, its tooltip as its description (the
    // bus test has no tray).
    const QAccessibleInterface *docked = QAccessible::queryAccessibleInterface(icon);
    EXPECT_EQ(docked->role(), QAccessible::Button);
    EXPECT_EQ(docked->text(QAccessible::Name),
              MenuBarController::accessibleName(delegate->store()));
    EXPECT_EQ(docked->text(QAccessible::Description), statusItem->toolTip());
}

struct TrayLoginTest : TrayTest {
    TrayLoginTest() { atLogin = true; }
};

// A second launch shows the window.
TEST_F(TrayLoginTest, OpenedAtLoginStartsInTheStatusItem) {
    EXPECT_EQ(delegate->window(), nullptr);
    EXPECT_TRUE(statusItem->isVisible());
    delegate->applicationShouldHandleReopen();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
}

TEST_F(TrayTest, HideKeepsTheStatusItem) {
    showSettings();
    MainMenu::findAction(delegate->mainMenu(), L10n::text("Hide Pellor"))->trigger();
    EXPECT_FALSE(delegate->window()->isVisible());
    EXPECT_FALSE(delegate->settingsWindow()->isVisible());
    EXPECT_TRUE(statusItem->isVisible());
    EXPECT_TRUE(icon->isVisible());

    MainMenu::findAction(delegate->mainMenu(), L10n::text("Show Pellor"))->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    EXPECT_TRUE(delegate->settingsWindow()->isVisible());
    // The status item still opens the panel.
    clickStatusItem();
    EXPECT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
    QTest::keyClick(panel(), Qt::Key_Escape);
}
