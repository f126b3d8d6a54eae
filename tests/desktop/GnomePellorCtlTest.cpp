// pellorctl on GNOME, end to end: what the real `gsettings` shows after apply and restore, what
// status and diagnose tell from the system's services, a key an administrator locked, and GNOME's
// settings missing.
#include "DBusMock.h"
#include "DesktopTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

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

// The process that owns `service` on the session bus; 0 when none does.
qint64 servicePid(const QString &service) {
    const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(service);
    return pid.isValid() ? pid.value() : 0;
}

using GnomePellorCtl = FreshDconf;

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
    EXPECT_EQ(diagnose.err, "") << "no complaint of Qt D-Bus about its types";
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

// Several applies at once on the real dconf: they take turns, every one says it saved and did,
// and status names the profile whose values dconf holds.
TEST_F(GnomePellorCtl, AppliesAtOnceTakeTurnsAndStatusNamesWhatDconfHolds) {
    const QStringList profiles{"vibe", "download", "normal"};
    for (int round = 0; round < 4; ++round) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int each = 0; each < profiles.size(); ++each) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(
                NORVANE_BIN_DIR "/pellorctl",
                {"apply", profiles[(round + each) % profiles.size()], "--no-return"});
        }
        for (const auto &run : runs) {
            ASSERT_TRUE(run->waitForFinished(60'000));
            EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
        }
        const QJsonObject application =
            QJsonDocument::fromJson(pellorctl({"status", "--json"}).out.toUtf8())["application"]
                .toObject();
        const QString named = application["profile"].toString();
        const auto preset =
            std::find_if(norvane::Profile::presets().cbegin(), norvane::Profile::presets().cend(),
                         [&](const norvane::Profile &p) { return p.id == named; });
        ASSERT_NE(preset, norvane::Profile::presets().cend()) << named.toStdString();
        EXPECT_EQ(gsettings().first(), "uint32 " + QString::number(preset->displayMinutes * 60));
        EXPECT_EQ(application["changedOutsidePellor"].toArray(), QJsonArray());
    }
}

// dconf's service stopped, or unable to write its database: the apply fails within Pellor's time
// limit, naming dconf and why, and reports nothing as saved. A write that lands once dconf
// answers again is a change outside Pellor.
TEST_F(GnomePellorCtl, ASilentOrRefusingDconfFailsTheApplyAndSaysWhy) {
    ASSERT_EQ(pellorctl({"apply", "Normal"}).exitCode, 0);
    QProcessEnvironment limited = QProcessEnvironment::systemEnvironment();
    limited.insert("PELLOR_DBUS_TIMEOUT_MS", "1000");
    const qint64 dconf = servicePid("ca.desrt.dconf");
    ASSERT_GT(dconf, 0);

    ::kill(pid_t(dconf), SIGSTOP);
    QElapsedTimer took;
    took.start();
    const Outcome silent = pellorctl({"apply", "Vibe", "--no-return"}, limited);
    const qint64 milliseconds = took.elapsed();
    ::kill(pid_t(dconf), SIGCONT);
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_TRUE(silent.err.contains(
        "GNOME's settings service (dconf) did not answer within 1 s, so nothing was saved."))
        << silent.err.toStdString();
    EXPECT_TRUE(silent.out.isEmpty());
    EXPECT_LT(milliseconds, 20'000) << "GLib's own sync waits 25 s";
    // A change of dconf's own, queued behind Pellor's late one, returns once that one landed.
    (void)run("dconf", {"reset", "/org/gnome/desktop/session/idle-delay-flush"});
    EXPECT_EQ(gsettings().first(), "uint32 0") << "Vibe's display time landed late";
    const QJsonObject application =
        QJsonDocument::fromJson(pellorctl({"status", "--json"}).out.toUtf8())["application"]
            .toObject();
    EXPECT_EQ(application["profile"], "normal");
    EXPECT_EQ(application["changedOutsidePellor"][0]["live"], 0);

    const QString database = qEnvironmentVariable("XDG_CONFIG_HOME") + "/dconf";
    if (run("chattr", {"+i", database}).exitCode != 0)
        GTEST_SKIP() << "this file system cannot make a folder immutable";
    const Outcome refused = pellorctl({"apply", "Normal"}, limited);
    (void)run("chattr", {"-i", database});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("GNOME's settings service (dconf) did not save the change: "
                                     "Failed to create file “" +
                                     database + "/user."))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Operation not permitted")) << refused.err.toStdString();
}

// The backup set aside while Vibe is in effect: the next one holds GNOME's defaults, so a restore
// leaves dconf as a new user has it.
TEST_F(GnomePellorCtl, ABackupSetAsideUnderAProfileIsRemadeFromGnomesDefaults) {
    ASSERT_EQ(pellorctl({"apply", "Vibe"}).exitCode, 0);
    writeBytes(qEnvironmentVariable("XDG_DATA_HOME") + "/Norvane/original-settings-gnome.json",
               "damaged");
    ASSERT_EQ(pellorctl({"set-aside", "backup"}).exitCode, 0);
    ASSERT_EQ(pellorctl({"apply", "Normal"}).exitCode, 0);
    ASSERT_EQ(pellorctl({"restore"}).exitCode, 0);
    EXPECT_EQ(dconfDump(), "");
}
