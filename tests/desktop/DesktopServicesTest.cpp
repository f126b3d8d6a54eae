// The system's power services as a Linux desktop reads them, against python-dbusmock's UPower,
// logind and power-profiles-daemon and a mock of the GNOME session on private buses.
#include "DBusMock.h"
#include "Gnome/GnomeIdleSettings.h"
#include "Services/DBusCalls.h"
#include "Services/PowerServices.h"
#include "Services/SleepHolders.h"
#include "Status/SleepDiagnosis.h"
#include "Worlds/World.h"

#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

constexpr auto System = QDBusConnection::SystemBus;
constexpr auto Session = QDBusConnection::SessionBus;

// UPower on battery at 42 %, an hour left.
void dischargeBattery(DBusMock &upower) {
    ASSERT_TRUE(
        upower.mock("AddDischargingBattery", {"mock_BAT", "Mock Battery", 42.0, qint64(3600)}));
}

} // namespace

TEST(DesktopServices, PowerSourcesFromUPowerAndLowPowerModeFromPowerProfiles) {
    {
        DBusMock upower(System, "upower", R"({"OnBattery": true})");
        ASSERT_TRUE(upower.ready());
        dischargeBattery(upower);
        DBusMock profiles(System, "power_profiles_daemon", R"({"ActiveProfile": "power-saver"})");
        ASSERT_TRUE(profiles.ready());

        const PowerStatus power = currentWorld()->readPower();
        EXPECT_EQ(power.source, PowerStatus::Source::battery);
        EXPECT_TRUE(power.hasBattery);
        EXPECT_EQ(power.percentage, 42);
        EXPECT_EQ(power.minutesRemaining, 60);
        EXPECT_EQ(powerSaverActive(), true);
        const SystemSettings settings = currentWorld()->readSettings();
        EXPECT_EQ(settings.lowPower, true);
        EXPECT_EQ(settings.source, "Battery");

        profiles.call("/net/hadess/PowerProfiles", "org.freedesktop.DBus.Properties", "Set",
                      {"net.hadess.PowerProfiles", "ActiveProfile",
                       QVariant::fromValue(QDBusVariant(QStringLiteral("balanced")))});
        EXPECT_EQ(powerSaverActive(), false);
    }
    // Without either service: nothing to tell, and the kernel's folder stands in for UPower.
    EXPECT_FALSE(UPowerSources::fromUPower());
    EXPECT_FALSE(powerSaverActive());
}

TEST(DesktopServices, SleepHoldersFromLogindAndTheDesktopSession) {
    EXPECT_FALSE(readSleepHolders()) << "no service answers";
    DBusMock logind(System, "logind");
    ASSERT_TRUE(logind.ready());
    // An inhibitor lives while its file descriptor is open.
    const QVariantList video =
        logind.call("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "Inhibit",
                    {"idle", "Videos", "Playing a video", "block"});
    const QVariantList delay =
        logind.call("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "Inhibit",
                    {"sleep", "GNOME Shell", "Locking the screen", "delay"});
    ASSERT_EQ(video.size(), 1);
    ASSERT_EQ(delay.size(), 1);

    DBusMock session(Session, DBusMock::kGnomeSession,
                     R"({"inhibitors": [["org.gnome.Nautilus", "Copying files", 4]]})");
    ASSERT_TRUE(session.ready());

    const std::optional<PowerAssertions> holders = readSleepHolders();
    ASSERT_TRUE(holders);
    ASSERT_EQ(holders->holders.size(), 2) << "the delaying inhibitor holds nothing";
    EXPECT_EQ(holders->holders[0].process, "Videos");
    EXPECT_EQ(holders->holders[0].type, "idle");
    EXPECT_EQ(holders->holders[1].process, "org.gnome.Nautilus");
    EXPECT_EQ(holders->holders[1].type, "sleep");
    const SleepDiagnosis diagnosis = SleepDiagnosis::make(currentWorld()->readSettings(), holders);
    EXPECT_EQ(diagnosis.displayHolders,
              (QList<SleepDiagnosis::Holder>{{"Videos", "Playing a video"}}));
    EXPECT_EQ(diagnosis.sleepHolders.size(), 2);
}

TEST(DesktopServices, TheKindsAnInhibitorHolds) {
    const std::tuple<QString, QString, std::optional<QString>> logind[] = {
        {"idle", "block", "idle"},
        {"sleep:idle", "block", "idle:sleep"},
        {"sleep", "delay", std::nullopt},
        {"shutdown", "block", std::nullopt},
        {"handle-lid-switch:sleep", "block", "sleep"}};
    for (const auto &[what, mode, type] : logind) {
        const auto holder = logindHolder(what, "who", "why", mode, 1000, 42);
        EXPECT_EQ(holder ? std::optional(holder->type) : std::nullopt, type) << what.toStdString();
    }
    const std::pair<uint, std::optional<QString>> flags[] = {
        {1, std::nullopt}, {4, "sleep"}, {8, "idle"}, {12, "idle:sleep"}};
    for (const auto &[value, type] : flags) {
        const auto holder = sessionHolder("app", "reason", value);
        EXPECT_EQ(holder ? std::optional(holder->type) : std::nullopt, type) << value;
    }
}

// GNOME's settings and UPower's properties tell of their changes; the views then read at once.
TEST(DesktopServices, TheWatcherTellsOfChangesToGnomesSettingsAndThePowerSource) {
    DBusMock upower(System, "upower");
    ASSERT_TRUE(upower.ready());
    const std::unique_ptr<SystemWatcher> watcher = currentWorld()->watch();
    ASSERT_TRUE(watcher);
    QSignalSpy changed(watcher.get(), &SystemWatcher::changed);
    GnomeIdleSettings settings;
    settings.write({{GnomeIdleSettings::kIdleDelay,
                     settings.values()[GnomeIdleSettings::kIdleDelay].toInteger() + 60}});
    EXPECT_TRUE(changed.wait(10'000));
    upower.call("/org/freedesktop/UPower", "org.freedesktop.DBus.Properties", "Set",
                {"org.freedesktop.UPower", "OnBattery", QVariant::fromValue(QDBusVariant(true))});
    EXPECT_TRUE(changed.wait(10'000));
}

// A service that takes longer than a second to answer is given up on: waiting for it would have
// brought back an (empty) answer.
TEST(DesktopServices, AServiceThatDoesNotAnswerWithinASecondTellsNothing) {
    DBusMock upower(System, "org.freedesktop.UPower", "/org/freedesktop/UPower",
                    "org.freedesktop.UPower");
    ASSERT_TRUE(upower.ready());
    ASSERT_TRUE(upower.mock("AddMethod", {"org.freedesktop.DBus.Properties", "GetAll", "s", "a{sv}",
                                          "import time; time.sleep(60); ret = {}"}));
    const int tests = dbus::timeoutMs();
    dbus::setTimeoutMs(1000); // the real one
    EXPECT_FALSE(UPowerSources::fromUPower());
    dbus::setTimeoutMs(tests);
}
