// pellorctl on KDE Plasma, end to end: what KDE's own kreadconfig5 reads after apply, PowerDevil
// and the screen locker asked to read their files again (python-dbusmock records the calls), the
// file as it was after restore, PowerDevil's holders in the diagnosis, and PowerDevil absent.
#include "DBusMock.h"
#include "DesktopTestSupport.h"

#include <QDBusArgument>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace norvane::test;

namespace {

constexpr auto Session = QDBusConnection::SessionBus;

const QByteArray kPlasma5 = "# Energy saving, as PowerDevil 5.27 wrote it and I edited it\n"
                            "[AC]\nicon=battery-charging\n\n"
                            "[AC][DPMSControl]\nidleTime=600\n\n"
                            "[AC][DimDisplay]\nidleTime=300000\n\n"
                            "[AC][HandleButtonEvents]\nlidAction=1\npowerButtonAction=16\n\n"
                            "[AC][SuspendSession]\nidleTime=900000\nsuspendType=1\n\n"
                            "[Battery]\nicon=battery-060\n\n"
                            "[Battery][DPMSControl]\nidleTime=300\n\n"
                            "[Battery][DimDisplay]\nidleTime=120000\n\n"
                            "[Battery][SuspendSession]\nidleTime=600000\nsuspendType=1\n\n"
                            "[LowBattery]\nicon=battery-low\n";

QString profiles() {
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("powermanagementprofilesrc");
}

// What KDE reads for the key, "never" where there is none.
QString kreadconfig(const QString &profile, const QString &group, const QString &key) {
    return run("kreadconfig5", {"--file", profiles(), "--group", profile, "--group", group, "--key",
                                key, "--default", "never"})
        .out.trimmed();
}

// How often the mock's method was called (python-dbusmock's GetCalls).
int calls(DBusMock &mock, const QString &path, const QString &method) {
    const QVariantList reply = mock.call(path, "org.freedesktop.DBus.Mock", "GetCalls");
    if (reply.isEmpty())
        return -1;
    int count = 0;
    const auto list = reply.first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong time = 0;
        QString name;
        QVariantList arguments;
        list.beginStructure();
        list >> time >> name >> arguments;
        list.endStructure();
        count += name == method;
    }
    list.endArray();
    return count;
}

QProcessEnvironment plasma(const char *version) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KDE_SESSION_VERSION", version);
    return environment;
}

struct KdePellorCtl : ::testing::Test {
    void SetUp() override {
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).removeRecursively();
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Norvane").removeRecursively();
        writeBytes(profiles(), kPlasma5);
    }
};

} // namespace

TEST_F(KdePellorCtl, FocusIsNeverAsKdeReadsItAndRestoreGivesBackTheFile) {
    DBusMock powerDevil(Session, DBusMock::kPowerDevil);
    DBusMock locker(Session, "org.kde.screensaver", "/ScreenSaver", "org.kde.screensaver");
    ASSERT_TRUE(powerDevil.ready() && locker.ready());
    ASSERT_TRUE(locker.mock("AddMethod", {"org.kde.screensaver", "configure", "", "", ""}));

    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"}, plasma("5"));
    ASSERT_EQ(focus.exitCode, 0) << focus.err.toStdString();
    EXPECT_EQ(focus.out, "Saved and verified KDE Plasma settings for Focus.\n");
    for (const QString profile : {"AC", "Battery"}) {
        EXPECT_EQ(kreadconfig(profile, "DPMSControl", "idleTime"), "never");
        EXPECT_EQ(kreadconfig(profile, "SuspendSession", "idleTime"), "never");
        EXPECT_EQ(kreadconfig(profile, "DimDisplay", "idleTime"), "never") << "nor dimmed";
    }
    EXPECT_EQ(kreadconfig("AC", "HandleButtonEvents", "lidAction"), "1") << "the rest stays";
    EXPECT_EQ(calls(powerDevil, "/org/kde/Solid/PowerManagement", "refreshStatus"), 1);
    EXPECT_EQ(calls(locker, "/ScreenSaver", "configure"), 1) << "Focus turns the lock off";

    const Outcome restore = pellorctl({"restore"}, plasma("5"));
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(readBytes(profiles()), kPlasma5);
    EXPECT_EQ(calls(powerDevil, "/org/kde/Solid/PowerManagement", "refreshStatus"), 2);
}

TEST_F(KdePellorCtl, StatusAndDiagnoseTellWhatPowerDevilHolds) {
    DBusMock powerDevil(Session, DBusMock::kPowerDevil,
                        R"({"inhibitions": {"Videos": "Playing a video"}})");
    ASSERT_TRUE(powerDevil.ready());
    const Outcome status = pellorctl({"status", "--json"}, plasma("5"));
    ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(status.out.toUtf8()).object();
    EXPECT_EQ(json["system"]["id"], "kde");
    EXPECT_EQ(json["settings"]["displaySleepMinutes"], 10);
    EXPECT_EQ(json["settings"]["systemSleepMinutes"], 15);
    EXPECT_EQ(json["settings"]["screenSaverSeconds"], 300) << "the locker's default, 5 minutes";

    const Outcome diagnose = pellorctl({"diagnose"}, plasma("5"));
    EXPECT_TRUE(diagnose.out.contains("Videos: Playing a video")) << diagnose.out.toStdString();
    EXPECT_FALSE(diagnose.out.contains("Mac")) << diagnose.out.toStdString();
}

// Without Plasma running the files are still the settings: PowerDevil reads them when it starts.
TEST_F(KdePellorCtl, WithoutPowerDevilTheFilesAreWrittenAndVerified) {
    const Outcome normal = pellorctl({"apply", "Normal"}, plasma("5"));
    ASSERT_EQ(normal.exitCode, 0) << normal.err.toStdString();
    EXPECT_EQ(kreadconfig("AC", "DPMSControl", "idleTime"), "300");
    EXPECT_EQ(kreadconfig("Battery", "SuspendSession", "idleTime"), "900000");
}
