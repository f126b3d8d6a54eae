// main() of the application's tests: a QApplication whose settings, profiles and simulated Mac
// live in a folder of this run only. View-model tests run without a display (offscreen); tests
// of the real window need one (scripts/test provides a private X server).
#include "App/Application.h"
#include "Worlds/WorldChoice.h"
#ifdef NORVANE_DESKTOP_WORLDS
#include "DesktopWorlds.h"
#endif
#ifdef NORVANE_TEST_PRIVATE_BUSES
#include "PrivateBuses.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    QTemporaryDir sandbox;
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                 "XDG_CACHE_HOME", "NORVANE_SIM_HOME"}) {
        const QString folder = sandbox.filePath(QString::fromLatin1(variable));
        QDir().mkpath(folder);
        qputenv(variable, folder.toLocal8Bit());
    }
    // No administrator's folder unless a test makes one: never the machine's /etc/xdg/pellor.
    const QString system = sandbox.filePath(QStringLiteral("XDG_CONFIG_DIRS"));
    QDir().mkpath(system);
    qputenv("XDG_CONFIG_DIRS", system.toLocal8Bit());
    const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
#ifdef NORVANE_TEST_PRIVATE_BUSES
    // A session bus of this run, on which Qt exports the accessibility tree whether or not a
    // screen reader runs (the accessibility bus starts once a client asks for it).
    norvane::test::PrivateBuses buses;
    if (!buses.started()) {
        std::fputs("Could not start the private D-Bus buses (dbus-daemon).\n", stderr);
        return 1;
    }
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
#endif
#if !NORVANE_TEST_NEEDS_DISPLAY
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // The simulated Mac unless a test names another world: never the desktop the tests run under.
    if (qEnvironmentVariableIsEmpty("PELLOR_PLATFORM"))
        qputenv("PELLOR_PLATFORM", "simulated");
    QApplication application(argc, argv);
    norvane::configureApplication(application);
#ifdef NORVANE_DESKTOP_WORLDS
    norvane::offerDesktopWorlds();
#endif
    norvane::useSystemWorld();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
