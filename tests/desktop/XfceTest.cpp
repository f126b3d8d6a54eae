// Xfce's idle settings against the real xfconfd on the private session bus: what xfconf-query
// shows after apply and restore (types included), the power manager's own "never", a property an
// administrator locked, xfconfd absent, a failed write rolled back, and a change told at once.
#include "DBusMock.h"
#include "DesktopTestSupport.h"
#include "Worlds/World.h"
#include "Xfce/XfceIdleSettings.h"
#include "Xfce/XfceSettingsAdapter.h"
#include "Xfce/Xfconf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace norvane;
using namespace norvane::test;

namespace {

const QString kPower = "xfce4-power-manager";
const QString kSaver = "xfce4-screensaver";

// What xfconf-query prints for the property; "unset" where it has no value.
QString query(const QString &channel, const QString &property) {
    const Outcome shown = run("xfconf-query", {"-c", channel, "-p", property});
    return shown.exitCode == 0 ? shown.out.trimmed() : QStringLiteral("unset");
}

// Creates the property with its type, or sets it.
void setProperty(const QString &channel, const QString &property, const QString &type,
                 const QString &value) {
    run("xfconf-query", {"-c", channel, "-p", property, "-n", "-t", type, "-s", value});
}

QStringList powerManager(const QStringList &keys = {"dpms-on-ac-sleep", "dpms-on-ac-off",
                                                    "dpms-on-battery-off", "inactivity-on-ac",
                                                    "inactivity-on-battery"}) {
    QStringList values;
    for (const QString &key : keys)
        values << query(kPower, "/xfce4-power-manager/" + key);
    return values;
}

QStringList blankingAndDimming() {
    return powerManager(
        {"blank-on-ac", "blank-on-battery", "brightness-on-ac", "brightness-on-battery"});
}

void reset() {
    for (const QString &channel : {kPower, kSaver})
        run("xfconf-query", {"-c", channel, "-p", "/", "-r", "-R"});
    QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Norvane").removeRecursively();
}

// A running xfce4-power-manager of this version, as GetInfo tells it.
struct PowerManager {
    DBusMock mock;
    explicit PowerManager(const QString &version)
        : mock(QDBusConnection::SessionBus, "org.xfce.PowerManager", "/org/xfce/PowerManager",
               "org.xfce.Power.Manager") {
        mock.mock("AddMethod", {"org.xfce.Power.Manager", "GetInfo", "", "sss",
                                "ret = ('xfce4-power-manager', '" + version + "', 'Xfce')"});
    }
};

struct XfceTest : ::testing::Test {
    void SetUp() override { reset(); }
};

} // namespace

TEST_F(XfceTest, ApplyAndRestoreAsXfconfQuerySeesThem) {
    setProperty(kPower, "/xfce4-power-manager/dpms-on-ac-off", "uint", "20");
    setProperty(kPower, "/xfce4-power-manager/inactivity-on-ac", "uint", "30");
    setProperty(kSaver, "/saver/idle-activation/delay", "int", "7");
    const QStringList before = powerManager();

    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"});
    ASSERT_EQ(focus.exitCode, 0) << focus.err.toStdString();
    EXPECT_EQ(focus.out, "Saved and verified Xfce settings for Focus.\n");
    EXPECT_EQ(powerManager(), (QStringList{"0", "0", "0", "14", "unset"}))
        << "the display never goes dark; 4.18's never (no manager runs) where sleep was on";
    EXPECT_EQ(query(kSaver, "/saver/idle-activation/enabled"), "false");

    ASSERT_EQ(pellorctl({"apply", "Normal"}).exitCode, 0);
    EXPECT_EQ(powerManager(), (QStringList{"0", "5", "5", "15", "15"}));
    EXPECT_EQ(query(kSaver, "/saver/idle-activation/delay"), "5");

    ASSERT_EQ(pellorctl({"restore"}).exitCode, 0);
    EXPECT_EQ(powerManager(), before);
    EXPECT_EQ(query(kSaver, "/saver/idle-activation/enabled"), "unset");
    EXPECT_EQ(query(kSaver, "/saver/idle-activation/delay"), "7");
    const QVariantMap values = xfconf::properties(kPower);
    EXPECT_EQ(values["/xfce4-power-manager/dpms-on-ac-off"].metaType(), QMetaType::fromType<uint>())
        << "unsigned, as the power manager reads it";
}

// The running power manager's version decides what "never" is written; 14 is read as never only
// before 4.19.3, and cannot be a sleep time there: neither applied nor saved in the editor.
TEST_F(XfceTest, ThePowerManagersVersionDecidesItsNever) {
    QTemporaryDir folder;
    ConfigurationTransaction transaction(desktopBackend<XfceSettingsAdapter>(
        folder.filePath("original-settings-xfce.json"), "xfce"));
    const std::pair<QString, QString> versions[] = {
        {"4.18.1", "14"}, {"4.19.3", "0"}, {"4.20.0", "0"}};
    for (const auto &[version, never] : versions) {
        reset();
        PowerManager running(version);
        Profile profile = Profile::normal();
        (void)transaction.apply(profile);
        profile.sleepMinutes = 0;
        const MacConfiguration after = transaction.apply(profile);
        EXPECT_EQ(query(kPower, "/xfce4-power-manager/inactivity-on-battery"), never)
            << version.toStdString();
        EXPECT_EQ(after.sources[0].sleep, 0);
        profile.sleepMinutes = 14;
        const std::optional<QString> refused = currentWorld()->cannotHold(profile);
        EXPECT_EQ(refused.has_value(), never == "14") << version.toStdString();
        if (never == "14")
            EXPECT_EQ(errorTextFrom([&] { (void)transaction.apply(profile); }), refused.value());
        else
            EXPECT_EQ(transaction.apply(profile).sources[0].sleep, 14);
    }
}

// An administrator's lock (xfconf's system-wide channel file, read by an xfconfd started for it)
// and xfconfd absent: a clear message, nothing written.
TEST_F(XfceTest, ALockedPropertyOrNoXfconfdChangesNothing) {
    QTemporaryDir folder;
    const QString channels = folder.filePath("system/xfce4/xfconf/xfce-perchannel-xml");
    writeBytes(channels + "/xfce4-power-manager.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<channel name=\"xfce4-power-manager\" version=\"1.0\">\n"
               "  <property name=\"xfce4-power-manager\" type=\"empty\">\n"
               "    <property name=\"dpms-on-ac-off\" type=\"uint\" value=\"15\" locked=\"" +
                   QByteArray(::getpwuid(::getuid())->pw_name) +
                   "\"/>\n"
                   "  </property>\n</channel>\n");
    QProcessEnvironment administered = QProcessEnvironment::systemEnvironment();
    administered.insert("XDG_CONFIG_DIRS", folder.filePath("system"));
    administered.insert("XDG_CONFIG_HOME", folder.filePath("home"));
    QProcess daemon;
    daemon.setProcessEnvironment(administered);
    daemon.start("dbus-daemon",
                 {"--session", "--nosyslog", "--fork", "--print-address=1", "--print-pid=1"});
    ASSERT_TRUE(daemon.waitForFinished(30'000));
    const QStringList printed = QString::fromUtf8(daemon.readAllStandardOutput()).split('\n');
    ASSERT_GE(printed.size(), 2);
    administered.insert("DBUS_SESSION_BUS_ADDRESS", printed[0].trimmed());

    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"}, administered);
    EXPECT_EQ(focus.exitCode, 1);
    EXPECT_TRUE(focus.err.contains(
        "A management policy locks “xfce4-power-manager /xfce4-power-manager/dpms-on-ac-off”"))
        << focus.err.toStdString();
    EXPECT_EQ(run("xfconf-query", {"-c", kSaver, "-l"}, administered).out.trimmed(), "")
        << "not even the screen saver, which is not locked";
    ::kill(printed[1].trimmed().toInt(), SIGTERM);

    QProcessEnvironment absent = QProcessEnvironment::systemEnvironment();
    absent.insert("DBUS_SESSION_BUS_ADDRESS", qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"));
    const Outcome unanswered = pellorctl({"apply", "Focus"}, absent);
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_TRUE(unanswered.err.contains(
        "Xfce's settings service (xfconfd) is not running and cannot be started"))
        << unanswered.err.toStdString();
}

// Blanking and dimming as xfconf-query shows them: Never turns them off, a later time gives back
// the user's own, restore gives back values and types, also from a backup made before Pellor knew
// them. Where DPMS never darkens the screen, the adapter reads when it is first blanked or dimmed.
TEST_F(XfceTest, NeverNeitherBlanksNorDimsAndALaterTimeGivesBackTheUsersOwn) {
    // The user's own properties ("name type value"), the adapter's minutes, what Never leaves.
    const std::tuple<QStringList, qint64, QString> cases[] = {
        {{}, 10, "0 0 unset 9"},                                                 // DPMS standby
        {{"dpms-enabled bool false"}, 10, "0 0 unset 9"},                        // blanked
        {{"dpms-enabled bool false", "brightness-on-ac uint 90"}, 2, "0 0 9 9"}, // dimmed
        {{"dpms-enabled bool false", "blank-on-ac int 0"}, 0, "0 0 unset 9"},
    };
    QTemporaryDir folder;
    const QString backup = folder.filePath("original-settings-xfce.json");
    const auto backend = desktopBackend<XfceSettingsAdapter>(backup, "xfce");
    ConfigurationTransaction transaction(backend);
    for (const auto &[properties, reads, never] : cases) {
        reset();
        QFile::remove(backup);
        for (const QString &property : properties)
            setProperty(kPower, "/xfce4-power-manager/" + property.section(' ', 0, 0),
                        property.section(' ', 1, 1), property.section(' ', 2));
        const QStringList own = blankingAndDimming();
        const MacConfiguration before = backend->read();
        EXPECT_EQ(before.sources[1].display, reads) << properties.join(", ").toStdString();
        (void)transaction.apply(Profile::focus());
        EXPECT_EQ(blankingAndDimming().join(' '), never);
        (void)transaction.apply(Profile::normal());
        EXPECT_EQ(blankingAndDimming(), own);
        (void)transaction.apply(Profile::focus());
        (void)transaction.restore();
        EXPECT_EQ(backend->read().native, before.native) << "values and types";
        (void)transaction.apply(Profile::normal());
        forgetInBackup(backup, "blank-on-");
        forgetInBackup(backup, "brightness-on-");
        (void)transaction.restore();
        EXPECT_EQ(blankingAndDimming(), own);
    }
}

TEST_F(XfceTest, AWriteThatFailsHalfWayIsRolledBackExactly) {
    setProperty(kPower, "/xfce4-power-manager/dpms-on-battery-off", "uint", "3");
    const QStringList before = powerManager();
    applyFailingHalfWay(currentWorld()->configurationBackend());
    EXPECT_EQ(powerManager(), before);
}

TEST_F(XfceTest, AChangeInXfconfIsToldAtOnce) {
    const std::unique_ptr<SystemWatcher> watcher = currentWorld()->watch();
    ASSERT_TRUE(watcher);
    QSignalSpy changed(watcher.get(), &SystemWatcher::changed);
    setProperty(kSaver, "/saver/idle-activation/delay", "int", "9");
    EXPECT_TRUE(changed.wait(10'000));
}

// A backup made from Xfce's defaults (a profile of Pellor's was in effect when the old one was set
// aside): its restore leaves no property of the user's own.
TEST_F(XfceTest, ABackupOfTheDefaultsRestoresEveryPropertyToItsDefault) {
    setProperty(kPower, "/xfce4-power-manager/dpms-on-ac-off", "uint", "30");
    setProperty(kPower, "/xfce4-power-manager/blank-on-ac", "int", "3");
    QTemporaryDir folder;
    ConfigurationTransaction transaction(desktopBackend<XfceSettingsAdapter>(
        folder.filePath("original-settings-xfce.json"), "xfce"));
    (void)transaction.apply(Profile::vibe(), BackupSource::systemDefaults);
    EXPECT_EQ(transaction.restore(), XfceIdleSettings::defaults());
    EXPECT_EQ(run("xfconf-query", {"-c", kPower, "-l"}).out.trimmed(), "");
    EXPECT_EQ(run("xfconf-query", {"-c", kSaver, "-l"}).out.trimmed(), "");
}
