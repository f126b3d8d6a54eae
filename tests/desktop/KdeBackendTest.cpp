// KDE Plasma's idle settings in PowerDevil's and the screen locker's files, Plasma 5 and 6:
// every preset written and read back, the user's own groups and kinds of sleep, an exact restore,
// what an administrator locked, and a failed write rolled back.
#include "DBusMock.h"
#include "DesktopTestSupport.h"
#include "Kde/KdeIdleSettings.h"
#include "Kde/KdeSettingsAdapter.h"
#include "Status/Drift.h"
#include "Worlds/World.h"

#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

const QByteArray kPlasma5 = "# my power settings\n"
                            "[AC]\nicon=battery-charging\n\n"
                            "[AC][DPMSControl]\nidleTime=600\nlockBeforeTurnOff=true\n\n"
                            "[AC][DimDisplay]\nidleTime=300000\n\n"
                            "[AC][SuspendSession]\nidleTime=900000\nsuspendType=2\n\n"
                            "[Battery]\nicon=battery-060\n\n"
                            "[Battery][DPMSControl]\nidleTime=300\n\n"
                            "[Battery][SuspendSession]\nidleTime=600000\nsuspendType=1\n\n"
                            "[LowBattery][DPMSControl]\nidleTime=120\n";
const QByteArray kPlasma6 = "[AC][Display]\nDimDisplayIdleTimeoutSec=300\n\n"
                            "# hibernate on the adapter\n"
                            "[AC][SuspendAndShutdown]\nAutoSuspendAction=2\n\n"
                            "[Battery][Performance]\nPowerProfile=power-saver\n";
const QByteArray kLocker = "[Daemon]\nLockGrace=5\nTimeout=10\n";

QString configFile(const QString &name) {
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(name);
}

QByteArray fileBytes(const QString &name) {
    return test::readBytes(configFile(name));
}

struct Plasma {
    const char *version;
    QString file;
    QByteArray bytes;
};
const Plasma kPlasmas[] = {{"5", "powermanagementprofilesrc", kPlasma5},
                           {"6", "powerdevilrc", kPlasma6}};

struct KdeBackendTest : ::testing::Test {
    QTemporaryDir folder;
    std::shared_ptr<DesktopConfigurationBackend> backend = test::desktopBackend<KdeSettingsAdapter>(
        folder.filePath("original-settings-kde.json"), "kde");
    ConfigurationTransaction transaction{backend};

    static void use(const Plasma &plasma) {
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).removeRecursively();
        qputenv("KDE_SESSION_VERSION", plasma.version);
        test::writeBytes(configFile(plasma.file), plasma.bytes);
        test::writeBytes(configFile("kscreenlockerrc"), kLocker);
    }
    void TearDown() override {
        qunsetenv("KDE_SESSION_VERSION");
        qunsetenv("XDG_CONFIG_DIRS");
    }
};

} // namespace

TEST_F(KdeBackendTest, EveryPresetIsReadBackAndRestoreGivesBackEveryByte) {
    for (const Plasma &plasma : kPlasmas) {
        SCOPED_TRACE(plasma.version);
        use(plasma);
        QFile::remove(folder.filePath("original-settings-kde.json"));
        for (const Profile &profile : Profile::presets()) {
            SCOPED_TRACE(profile.id.toStdString());
            const MacConfiguration after = transaction.apply(profile);
            for (const PowerSourceConfiguration &source : after.sources) {
                EXPECT_EQ(source.display, profile.displayMinutes);
                EXPECT_EQ(source.sleep, profile.sleepMinutes);
            }
            EXPECT_EQ(after.screenSaverSeconds, profile.screenSaverSeconds);
            EXPECT_TRUE(fileBytes(plasma.file).contains("[Battery]") ||
                        fileBytes(plasma.file).contains("[Battery][Performance]"))
                << "the other groups stay";
        }
        (void)transaction.apply(Profile::focus()); // restored from Never, dimming included
        (void)transaction.restore();
        EXPECT_EQ(fileBytes(plasma.file), plasma.bytes);
        EXPECT_EQ(fileBytes("kscreenlockerrc"), kLocker);
    }
    // A file that was not there is not there again, an empty one is there and empty, and one
    // without a final line break is restored without one.
    for (const std::optional<QByteArray> &locker :
         {std::optional<QByteArray>(), std::optional(QByteArray()),
          std::optional(kLocker.chopped(1))}) {
        SCOPED_TRACE(locker ? locker->toStdString() : "none");
        QFile::remove(configFile("kscreenlockerrc"));
        if (locker)
            test::writeBytes(configFile("kscreenlockerrc"), *locker);
        QFile::remove(folder.filePath("original-settings-kde.json"));
        (void)transaction.apply(Profile::focus());
        EXPECT_NE(fileBytes("kscreenlockerrc"), locker.value_or(""));
        (void)transaction.restore();
        EXPECT_EQ(QFile::exists(configFile("kscreenlockerrc")), locker.has_value());
        EXPECT_EQ(fileBytes("kscreenlockerrc"), locker.value_or(""));
    }
}

// Never removes Plasma 5's groups or turns Plasma 6's switches off, dimming included; a later time
// brings back the user's own; restore gives back every byte, also from a backup made before Pellor
// knew the dimming, a file without a final line break included. A display never turned off reads
// when PowerDevil first dims (5: at half).
TEST_F(KdeBackendTest, NeverKeepsTheScreenLitAndALaterTimeBringsBackTheUsersOwn) {
    // The Plasma and its file, what the adapter reads, what a time after Never gives back.
    const std::tuple<const Plasma &, QByteArray, qint64, QByteArray> cases[] = {
        {kPlasmas[0], kPlasma5, 10,
         "[AC][DPMSControl]\nidleTime=300\nlockBeforeTurnOff=true\n\n[AC][DimDisplay]\nidleTime="
         "300000\n\n[AC][SuspendSession]\nidleTime=900000\nsuspendType=2\n"},
        {kPlasmas[0], "[AC][DimDisplay]\nidleTime=300000", 3,
         "[AC][DPMSControl]\nidleTime=300\n\n[AC][DimDisplay]\nidleTime=300000\n"},
        {kPlasmas[1], kPlasma6, 10,
         "[AC][SuspendAndShutdown]\nAutoSuspendAction=2\nAutoSuspendIdleTimeoutSec=900\n"},
        {kPlasmas[1], "[AC][Display]\nTurnOffDisplayWhenIdle=false", 5,
         "[AC][Display]\nTurnOffDisplayIdleTimeoutSec=300\n"},
        {kPlasmas[1], "[AC][Display]\nDimDisplayWhenIdle=false\nTurnOffDisplayWhenIdle=false\n", 0,
         "[AC][Display]\nDimDisplayWhenIdle=false\nTurnOffDisplayIdleTimeoutSec=300\n"},
    };
    for (const auto &[plasma, bytes, reads, givenBack] : cases) {
        SCOPED_TRACE(bytes.toStdString());
        use({plasma.version, plasma.file, bytes});
        QFile::remove(folder.filePath("original-settings-kde.json"));
        EXPECT_EQ(KdeIdleSettings().configuration().sources[1].display, reads);
        (void)transaction.apply(Profile::focus());
        (void)transaction.apply(Profile::normal());
        EXPECT_TRUE(fileBytes(plasma.file).contains(givenBack));
        test::forgetInBackup(folder.filePath("original-settings-kde.json"), "DimDisplay");
        (void)transaction.restore();
        EXPECT_EQ(fileBytes(plasma.file), bytes);
    }
}

// A backup made from the defaults (a profile of Pellor's was in effect when the old one was set
// aside): its restore gives the files what a new user has, PowerDevil's own profiles on Plasma 5
// (where a missing group would mean never) and no key of Pellor's on Plasma 6.
TEST_F(KdeBackendTest, ABackupOfTheDefaultsRestoresWhatANewUserHas) {
    const std::pair<PowerSourceConfiguration, PowerSourceConfiguration> defaults{{"-b", 5, 10},
                                                                                 {"-c", 10, 15}};
    for (const Plasma &plasma : kPlasmas) {
        SCOPED_TRACE(plasma.version);
        use(plasma);
        QFile::remove(folder.filePath("original-settings-kde.json"));
        (void)transaction.apply(Profile::vibe(), BackupSource::systemDefaults);
        const MacConfiguration restored = transaction.restore();
        EXPECT_EQ(restored.sources, QList({defaults.first, defaults.second}));
        EXPECT_EQ(restored.screenSaverSeconds, 300);
    }
}

// An immutable entry, group or file, in the user's file or an administrator's: the policy
// message naming what is locked, and not a byte written.
TEST_F(KdeBackendTest, WhatAnAdministratorLockedStopsTheChangeBeforeAnythingIsWritten) {
    QTemporaryDir system;
    struct Lock {
        QString where;
        QByteArray bytes;
        QString named; // the first locked setting the change meets
    };
    const Lock locks[] = {
        {"user", "[AC][DPMSControl]\nidleTime[$i]=600\n", "[AC][DPMSControl]"},
        {"user", "[$i]\n" + kPlasma5, "[Battery][DPMSControl]"},
        {"system", "[Battery][SuspendSession][$i]\nidleTime=600000\n", "[Battery][SuspendSession]"},
    };
    for (const auto &[where, bytes, named] : locks) {
        use(kPlasmas[0]);
        if (where == "user") {
            test::writeBytes(configFile(kPlasmas[0].file), bytes);
        } else {
            test::writeBytes(system.filePath(kPlasmas[0].file), bytes);
            qputenv("XDG_CONFIG_DIRS", system.path().toLocal8Bit());
        }
        const QByteArray before = fileBytes(kPlasmas[0].file);
        EXPECT_EQ(test::errorTextFrom([&] { (void)transaction.apply(Profile::focus()); }),
                  "A management policy locks “powermanagementprofilesrc " + named +
                      "”, so Pellor cannot change it. Nothing was changed.")
            << bytes.toStdString();
        EXPECT_EQ(fileBytes(kPlasmas[0].file), before);
        EXPECT_EQ(fileBytes("kscreenlockerrc"), kLocker);
        qunsetenv("XDG_CONFIG_DIRS");
    }
}

TEST_F(KdeBackendTest, AWriteThatFailsHalfWayIsRolledBackExactly) {
    use(kPlasmas[0]);
    test::applyFailingHalfWay(backend);
    EXPECT_EQ(fileBytes(kPlasmas[0].file), kPlasma5);
}

TEST_F(KdeBackendTest, ThePlasmaThatRunsIsTheOneWhoseFilesAreUsed) {
    struct Case {
        const char *session;
        QByteArray plasma5;
        QByteArray plasma6;
        KdeIdleSettings::Plasma expected;
    };
    const Case cases[] = {
        {"6", kPlasma5, "", KdeIdleSettings::Plasma::six},
        {"5", "", kPlasma6, KdeIdleSettings::Plasma::five},
        {"", kPlasma5 + "\n[Migration]\nMigratedProfilesToPlasma6=powerdevilrc\n", "",
         KdeIdleSettings::Plasma::six},
        {"", kPlasma5, "[General]\npausePlayersOnSuspend=true\n", KdeIdleSettings::Plasma::five},
        {"", "", kPlasma6, KdeIdleSettings::Plasma::six},
    };
    for (const Case &c : cases) {
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).removeRecursively();
        qputenv("KDE_SESSION_VERSION", c.session);
        if (!c.plasma5.isEmpty())
            test::writeBytes(configFile("powermanagementprofilesrc"), c.plasma5);
        if (!c.plasma6.isEmpty())
            test::writeBytes(configFile("powerdevilrc"), c.plasma6);
        EXPECT_EQ(KdeIdleSettings::detect(), c.expected) << c.session;
    }
}

// On battery at or below PowerDevil's low level (powerdevilrc), Plasma 5's PowerDevil runs the
// profile "LowBattery": the live status shows its timers and says so, and they are no drift from
// the applied profile's.
TEST_F(KdeBackendTest, AtALowBatteryTheLiveStatusShowsTheLowBatteryProfile) {
    use(kPlasmas[0]);
    test::DBusMock upower(QDBusConnection::SystemBus, "upower", R"({"OnBattery": true})");
    ASSERT_TRUE(upower.ready());
    ASSERT_TRUE(upower.mock("AddDischargingBattery", {"mock_BAT", "Battery", 50.0, qint64(3600)}));
    struct Case {
        double percentage;
        QByteArray powerdevilrc;
        qint64 display; // minutes
        qint64 sleep;
        QString source;
    };
    const QString low = "Battery (low-battery settings in effect)";
    Profile applied = Profile::normal(); // the battery's timers, as kPlasma5 has them
    applied.displayMinutes = 5;
    applied.sleepMinutes = 10;
    applied.screenSaverSeconds = 600;
    const Case cases[] = {
        {11, "", 5, 10, "Battery"},
        {10, "", 2, 0, low},
        {20, "[BatteryManagement]\nBatteryLowLevel=20\n", 2, 0, low},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.percentage);
        test::writeBytes(configFile("powerdevilrc"), c.powerdevilrc);
        upower.call("/org/freedesktop/UPower/devices/mock_BAT", "org.freedesktop.DBus.Properties",
                    "Set",
                    {"org.freedesktop.UPower.Device", "Percentage",
                     QVariant::fromValue(QDBusVariant(c.percentage))});
        const SystemSettings settings = currentWorld()->readSettings();
        EXPECT_EQ(settings.displayMinutes, c.display);
        EXPECT_EQ(settings.sleepMinutes, c.sleep);
        EXPECT_EQ(settings.source, c.source);
        EXPECT_EQ(Drift::between(settings, applied), QList<Drift>());
    }
}

// KDE writes its files through a rename, as Pellor does: the watcher still sees the next change.
TEST_F(KdeBackendTest, AChangeOfTheFilesIsToldAtOnce) {
    use(kPlasmas[1]);
    const std::unique_ptr<SystemWatcher> watcher = currentWorld()->watch();
    ASSERT_TRUE(watcher);
    QSignalSpy changed(watcher.get(), &SystemWatcher::changed);
    for (const Profile &profile : {Profile::focus(), Profile::normal()}) {
        (void)transaction.apply(profile);
        EXPECT_TRUE(changed.wait(10'000)) << profile.id.toStdString();
    }
}
