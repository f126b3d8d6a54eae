// The status item in a real system tray: a tray host (trayer) runs on the test's X server, the
// status item docks into it, and a click on it opens the quick panel under it. Skipped when no
// tray host can be started here.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "App/MainMenu.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "MenuBar/PellorMenuIcon.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatorState.h"
#include "TestSupport.h"
#include "UiTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// trayer docked at the top right of the screen, for as long as the object lives.
class TrayHost {
public:
    TrayHost() {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        if (program.isEmpty()) {
            m_problem = "trayer is not installed";
            return;
        }
        m_process.setProgram(program);
        m_process.setArguments({"--edge", "top", "--align", "right", "--widthtype", "request",
                                "--height", "28", "--SetDockType", "true", "--expand", "true"});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            m_problem = "trayer did not start: " + m_process.errorString().toStdString();
            return;
        }
        if (!waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
            m_problem = "trayer started but no system tray appeared on this display";
    }
    ~TrayHost() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    TrayHost(const TrayHost &) = delete;
    TrayHost &operator=(const TrayHost &) = delete;

    // Empty when the tray is available.
    [[nodiscard]] const std::string &problem() const { return m_problem; }

private:
    QProcess m_process;
    std::string m_problem;
};

// The widget Qt docks into the tray for the status item.
QWidget *dockedIcon() {
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (QByteArray(widget->metaObject()->className()) == "QSystemTrayIconSys")
            return widget;
    return nullptr;
}

struct TrayTest : ::testing::Test {
    void SetUp() override {
        if (!tray.problem().empty())
            GTEST_SKIP() << "no tray host: " << tray.problem();
        QSettings().clear();
        QFile::remove(FileProfileStorage::defaultLocation());
        sim::SimulatorState::reset(simulatorHome());
        delegate = std::make_unique<AppDelegate>(AppDelegate::Options{.configuration = service});
        delegate->applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
        statusItem = delegate->menuBar()->statusItem();
        ASSERT_NE(statusItem, nullptr);
        ASSERT_TRUE(waitUntil([&] {
            icon = dockedIcon();
            return icon && icon->isVisible() && statusItem->geometry().isValid();
        }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(icon));
    }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
    }
    void clickStatusItem() { QTest::mouseClick(icon, Qt::LeftButton, {}, icon->rect().center()); }
    QWidget *panel() const { return delegate->menuBar()->popover(); }

    TrayHost tray;
    std::shared_ptr<ControlledConfiguring> service = std::make_shared<ControlledConfiguring>();
    std::unique_ptr<AppDelegate> delegate;
    QSystemTrayIcon *statusItem = nullptr;
    QWidget *icon = nullptr;
};

} // namespace

TEST_F(TrayTest, AClickOnTheStatusItemOpensThePanelUnderItAndAnotherClosesIt) {
    EXPECT_TRUE(statusItem->isVisible());
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
    EXPECT_LE(frame.left(), anchor.center().x());
    EXPECT_GE(frame.right(), anchor.center().x());
    QTest::qWait(200);
    ASSERT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(
        screenshotPath("tray-quick-panel-light")));

    clickStatusItem();
    ASSERT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
    QTest::qWait(400); // the same click must not open it again
    EXPECT_FALSE(panel()->isVisible());

    // Once it has closed, the next click opens it again.
    clickStatusItem();
    EXPECT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
    QTest::keyClick(panel(), Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !panel()->isVisible(); }));
}

// Hiding Pellor hides its windows; the status item stays, and Show All brings the windows back.
TEST_F(TrayTest, HideKeepsTheStatusItem) {
    delegate->showSettings();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    MainMenu::findAction(delegate->mainMenu(), L10n::text("Hide Pellor"))->trigger();
    EXPECT_FALSE(delegate->window()->isVisible());
    EXPECT_FALSE(delegate->settingsWindow()->isVisible());
    EXPECT_TRUE(statusItem->isVisible());
    EXPECT_TRUE(icon->isVisible());

    MainMenu::findAction(delegate->mainMenu(), L10n::text("Show All"))->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
    EXPECT_TRUE(delegate->settingsWindow()->isVisible());
    EXPECT_TRUE(icon->isVisible());
    // The status item still opens the panel.
    clickStatusItem();
    EXPECT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
    QTest::keyClick(panel(), Qt::Key_Escape);
}

TEST_F(TrayTest, TheStatusItemShowsTheRingAndTheProfileWhileOneIsEngaged) {
    const auto iconImage = [&] {
        return statusItem->icon()
            .pixmap(QSize(48, 48))
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    // The desktop's ink, whatever Pellor's own appearance: the icon sits on the desktop's panel.
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    EXPECT_EQ(iconImage(), PellorMenuIcon::image(false, 48, ink));
    for (const int choice : {int(Appearance::dark), int(Appearance::light)}) {
        delegate->changeAppearance(choice);
        delegate->refresh();
        EXPECT_EQ(iconImage(), PellorMenuIcon::image(false, 48, ink)) << "appearance " << choice;
    }
    delegate->changeAppearance(Appearance::system);

    clickStatusItem();
    ASSERT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
    QTest::keyClick(panel(), Qt::Key_Down);
    QTest::keyClick(panel(), Qt::Key_Down);
    QTest::keyClick(panel(), Qt::Key_Return); // Vibe
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_FALSE(panel()->isVisible());
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    delegate->refresh();

    EXPECT_EQ(iconImage(), PellorMenuIcon::image(true, 48, ink));
    EXPECT_EQ(statusItem->toolTip(), "Pellor · " + Profile::vibe().localizedTitle() + " · " +
                                         delegate->store().timeLabel());
}
