// pellorctl on GNOME, end to end: what the real `gsettings` shows after apply and restore, what
// status and diagnose tell from the system's services, a key an administrator locked, and GNOME's
// settings missing.
#include "DBusMock.h"
#include "DesktopTestSupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane::test;

namespace {

const QStringList kKeys{"org.gnome.desktop.session idle-delay",
                        "org.gnome.settings-daemon.plugins.power sleep-inactive-ac-timeout",
                        "org.gnome.settings-daemon.plugins.power sleep-inactive-ac-type",
                        "org.gnome.settings-daemon.plugins.power sleep-inactive-battery-timeout",
                        "org.gnome.settings-daemon.plugins.power sleep-inactive-battery-type"};

// What `gsettings get` prints for each key, type included ("uint32 300").
QStringList gsettings() {
    QStringList values;
    for (const QString &key : kKeys)
        values << run("gsettings", QStringList{"get"} + key.split(' ')).out.trimmed();
    return values;
}

QString dconfDump() {
    return run("dconf", {"dump", "/"}).out;
}

struct GnomePellorCtl : ::testing::Test {
    void SetUp() override {
        run("dconf", {"reset", "-f", "/"});
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Norvane").removeRecursively();
    }
};

} // namespace

TEST_F(GnomePellorCtl, ApplyAndRestoreAsTheRealGsettingsSeesThem) {
    run("gsettings", {"set", "org.gnome.desktop.session", "idle-delay", "420"});
    const QStringList before = gsettings();
    const QString stored = dconfDump();

    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"});
    ASSERT_EQ(focus.exitCode, 0) << focus.err.toStdString();
    EXPECT_EQ(focus.out, "Saved and verified GNOME settings for Focus.\n");
    EXPECT_EQ(gsettings(), (QStringList{"uint32 0", "1200", "'nothing'", "1200", "'nothing'"}))
        << "display never, and the computer does not suspend on idle";

    ASSERT_EQ(pellorctl({"apply", "Normal"}).exitCode, 0);
    EXPECT_EQ(gsettings(), (QStringList{"uint32 300", "900", "'suspend'", "900", "'suspend'"}));

    ASSERT_EQ(pellorctl({"restore"}).exitCode, 0);
    EXPECT_EQ(gsettings(), before);
    EXPECT_EQ(dconfDump(), stored) << "the keys that had their defaults have them again";
}

TEST_F(GnomePellorCtl, StatusAndDiagnoseTellWhatTheSystemsServicesSay) {
    DBusMock upower(QDBusConnection::SystemBus, "upower", R"({"OnBattery": true})");
    DBusMock profiles(QDBusConnection::SystemBus, "power_profiles_daemon",
                      R"({"ActiveProfile": "power-saver"})");
    DBusMock logind(QDBusConnection::SystemBus, "logind");
    ASSERT_TRUE(upower.ready() && profiles.ready() && logind.ready());
    ASSERT_TRUE(
        upower.mock("AddDischargingBattery", {"mock_BAT", "Mock Battery", 42.0, qint64(5400)}));
    const QVariantList held =
        logind.call("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "Inhibit",
                    {"idle", "Videos", "Playing a video", "block"});
    ASSERT_EQ(held.size(), 1);

    const Outcome status = pellorctl({"status", "--json"});
    ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(status.out.toUtf8()).object();
    EXPECT_EQ(json["power"]["source"], "battery");
    EXPECT_EQ(json["power"]["batteryPercent"], 42);
    EXPECT_EQ(json["power"]["minutesRemaining"], 90);
    EXPECT_EQ(json["settings"]["lowPowerMode"], true);
    EXPECT_TRUE(json["settings"]["screenSaverSeconds"].isNull()) << "GNOME holds none";
    EXPECT_EQ(json["system"]["id"], "gnome");

    const Outcome diagnose = pellorctl({"diagnose"});
    ASSERT_EQ(diagnose.exitCode, 0) << diagnose.err.toStdString();
    EXPECT_TRUE(diagnose.out.contains("Videos: Playing a video")) << diagnose.out.toStdString();
    EXPECT_TRUE(diagnose.out.startsWith("Pellor 1.2: Why isn't this computer sleeping?\n"));
    EXPECT_FALSE(diagnose.out.contains("Mac")) << diagnose.out.toStdString();
}

// An administrator's lock (a dconf system database) and a desktop without GNOME's power settings:
// a clear message, nothing written.
TEST_F(GnomePellorCtl, ALockedKeyOrMissingSettingsChangeNothing) {
    QTemporaryDir folder;
    writeBytes(folder.filePath("db.d/00-site"),
               "[org/gnome/settings-daemon/plugins/power]\nsleep-inactive-ac-type='suspend'\n");
    writeBytes(folder.filePath("db.d/locks/00-site"),
               "/org/gnome/settings-daemon/plugins/power/sleep-inactive-ac-type\n");
    ASSERT_EQ(
        run("dconf", {"compile", folder.filePath("site.db"), folder.filePath("db.d")}).exitCode, 0);
    writeBytes(folder.filePath("profile"),
               "user-db:user\nfile-db:" + folder.filePath("site.db").toUtf8() + "\n");
    QProcessEnvironment locked = QProcessEnvironment::systemEnvironment();
    locked.insert("DCONF_PROFILE", folder.filePath("profile"));
    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"}, locked);
    EXPECT_EQ(focus.exitCode, 1);
    EXPECT_TRUE(focus.err.contains("A management policy locks “org.gnome.settings-daemon.plugins."
                                   "power sleep-inactive-ac-type”"))
        << focus.err.toStdString();
    EXPECT_EQ(dconfDump(), "") << "nothing written";

    // GNOME's schemas out of reach: only this folder's (none) are searched.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.insert("XDG_DATA_DIRS", folder.filePath("nowhere"));
    bare.insert("GSETTINGS_SCHEMA_DIR", folder.filePath("nowhere"));
    const Outcome missing = pellorctl({"apply", "Focus"}, bare);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("“org.gnome.desktop.session” is not installed"))
        << missing.err.toStdString();
    EXPECT_EQ(dconfDump(), "");
    // Detected rather than named, such a desktop is not taken for GNOME.
    bare.remove("PELLOR_PLATFORM");
    bare.insert("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_TRUE(
        pellorctl({"status"}, bare)
            .out.contains(
                "System: No supported desktop was found, so Pellor drives the simulated Mac.\n"));
}
