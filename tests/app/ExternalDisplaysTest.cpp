// External displays as the rules count them: names and geometries of laptops, desktops, mirrored
// and closed-lid setups; the kernel's connectors; and under the test's X server, a second screen
// that comes and goes applies the display rule and ends it.
#include "App/ExternalDisplays.h"

#include "RuleSwitcherFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Screen = ExternalDisplays::Screen;

const QRect kLeft(0, 0, 1920, 1080);
const QRect kRight(1920, 0, 2560, 1440);

} // namespace

TEST(ExternalDisplays, CountsEachExternalPictureOnceAndALoneDesktopMonitorAsTheComputersOwn) {
    const std::tuple<const char *, QList<Screen>, bool, int> cases[] = {
        {"laptop alone", {{"eDP-1", kLeft}}, false, 0},
        {"laptop and a monitor", {{"eDP-1", kLeft}, {"HDMI-1", kRight}}, false, 1},
        {"laptop mirrored", {{"eDP-1", kLeft}, {"HDMI-1", kLeft}}, false, 1},
        {"two monitors mirroring each other",
         {{"LVDS1", kLeft}, {"DP-1", kRight}, {"DP-2", kRight}},
         false,
         1},
        {"lid closed", {{"HDMI-1", kLeft}}, true, 1},
        {"desktop, one monitor", {{"DP-1", kLeft}}, false, 0},
        {"desktop, two monitors", {{"DP-1", kLeft}, {"HDMI-1", kRight}}, false, 1},
        {"desktop, a projector mirrored", {{"DP-1", kLeft}, {"HDMI-1", kLeft}}, false, 1},
        {"a Mac and a monitor",
         {{"Built-in Retina Display", kLeft}, {"DELL U2720Q", kRight}},
         false,
         1},
        {"an older Mac", {{"Color LCD", kLeft}}, false, 0},
    };
    for (const auto &[name, screens, builtInPanel, expected] : cases)
        EXPECT_EQ(ExternalDisplays::count(screens, builtInPanel), expected) << name;

    QTemporaryDir drm;
    for (const char *entry : {"card0", "card0-HDMI-A-1", "card1-DP-2", "version"})
        QDir(drm.path()).mkdir(entry);
    EXPECT_FALSE(ExternalDisplays::hasBuiltInConnector(drm.path()));
    QDir(drm.path()).mkdir("card1-eDP-1");
    EXPECT_TRUE(ExternalDisplays::hasBuiltInConnector(drm.path()));
}

// A second monitor on the X server: Qt shows it as a screen, the display rule applies Vibe, and
// once it is gone the profile before comes back.
TEST(ExternalDisplays, ASecondScreenAppliesTheDisplayRuleAndItsRemovalEndsIt) {
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "needs an X server";
    test::RuleSwitcherFixture fixture;
    ExternalDisplays displays([] { return false; }); // a desktop: its first screen is its own
    RuleSwitcher switcher(fixture.store, fixture.library, fixture.book,
                          fixture.environment([&displays] { return displays.count(); }));
    QObject::connect(&displays, &ExternalDisplays::changed, &switcher, &RuleSwitcher::readAgain);
    switcher.start(false);
    ASSERT_EQ(displays.count(), 0);

    QProcess monitor; // the helper's connection holds the monitor
    monitor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    monitor.start("/usr/bin/python3", {NORVANE_ADD_MONITOR, "PELLOR-TEST-1", "800x500+800+0"});
    ASSERT_TRUE(monitor.waitForReadyRead(30'000));
    const auto inEffect = [&fixture](const char *profile) {
        return QTest::qWaitFor(
            [&] { return !fixture.store.isApplying() && fixture.store.profile().id == profile; },
            30'000);
    };
    EXPECT_TRUE(inEffect("vibe"));
    EXPECT_EQ(displays.count(), 1);

    monitor.closeWriteChannel();
    ASSERT_TRUE(monitor.waitForFinished(30'000));
    EXPECT_TRUE(inEffect("normal"));
    EXPECT_EQ(displays.count(), 0);
}
