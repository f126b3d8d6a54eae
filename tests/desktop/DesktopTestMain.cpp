// main() of the Linux desktop tests: private session and system buses and settings folders for
// the run, the test's world named (NORVANE_TEST_WORLD, GNOME unless it says otherwise), then
// GoogleTest inside a QCoreApplication.
#include "DesktopWorlds.h"
#include "PrivateBuses.h"
#include "Worlds/WorldChoice.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#ifndef NORVANE_TEST_WORLD
#define NORVANE_TEST_WORLD "gnome"
#endif

int main(int argc, char **argv) {
    // The desktop's own choices come from the tests, never from the session they run in; the
    // buses' services (xfconfd) inherit this environment.
    qunsetenv("KDE_SESSION_VERSION");
    qunsetenv("XDG_CONFIG_DIRS");
    norvane::test::PrivateBuses buses;
    qputenv("PELLOR_PLATFORM", NORVANE_TEST_WORLD);
    // The mocked services answer in time even while the machine is busy with other work (here
    // and in the pellorctl this starts); the test of the time-out sets the real one.
    qputenv("PELLOR_DBUS_TIMEOUT_MS", "15000");
    QCoreApplication application(argc, argv);
    if (!buses.started()) {
        std::fputs("Could not start the private D-Bus buses (dbus-daemon).\n", stderr);
        return 1;
    }
    norvane::offerDesktopWorlds();
    norvane::useSystemWorld();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
