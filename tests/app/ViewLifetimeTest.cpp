// When Pellor's views are released: once every window of Pellor is closed, none is hidden with
// the application and no other view is open; windows of others do not count.
#include "App/ViewLifetime.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace std::chrono_literals;

TEST(ViewLifetimeTest, ReleasesOnlyWhenNothingOfPellorIsOpen) {
    bool otherOpen = false;
    int releases = 0;
    ViewLifetime lifetime(0ms, {[&] { return otherOpen; }, [&] { return ++releases > 0; }});
    QWidget main;
    QWidget settings;
    QWidget stranger;
    lifetime.track(&main);
    lifetime.track(&settings);
    const auto *sheet = new QDialog(&settings);
    EXPECT_TRUE(lifetime.isOwnWindow(sheet));
    EXPECT_FALSE(lifetime.isOwnWindow(&stranger));
    const auto releasedAfterGrace = [&] {
        const int before = releases;
        QSignalSpy graceOver(lifetime.timer(), &QTimer::timeout);
        lifetime.viewClosed();
        return graceOver.wait() && releases > before;
    };

    main.show();
    stranger.show();
    EXPECT_FALSE(releasedAfterGrace()) << "the main window is open";
    lifetime.hideWindows();
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(stranger.isVisible());
    EXPECT_FALSE(releasedAfterGrace()) << "hidden with the application";
    lifetime.unhideWindows();
    EXPECT_TRUE(main.isVisible());

    otherOpen = true;
    main.close();
    EXPECT_TRUE(lifetime.timer()->isActive()) << "closing a window starts the grace period";
    EXPECT_FALSE(releasedAfterGrace()) << "the quick panel is open";
    otherOpen = false;
    EXPECT_TRUE(releasedAfterGrace());
}
