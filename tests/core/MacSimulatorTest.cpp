// The simulated Mac's stand-in programs, run as real processes against a temporary simulator
// folder: what they print reads back through the real parsers, and they authorize, refuse, fail
// and log the way the tests of the configuration engine rely on.
#include "Platform/ConfigurationError.h"
#include "Platform/ToolRunner.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"
#include "Status/PowerAssertions.h"
#include "Status/PowerStatus.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace norvane;
using sim::Source;
using test::capture;
using test::Outcome;

namespace {

// What a person sees of pmset's layout: the headers, each setting's name and the blanks before
// its value (values become "#"), and which remark follows it.
QStringList layout(const QString &output) {
    static const QRegularExpression setting(
        QStringLiteral(R"(^(\s.*?\s+)\S+(?: \(((?:display )?sleep prevented by) [^)]*\))?$)"));
    QStringList lines;
    for (const QString &line : output.split(u'\n')) {
        const auto match = setting.match(line);
        if (line.trimmed().isEmpty())
            continue;
        if (!match.hasMatch())
            lines << line;
        else if (match.captured(2).isEmpty())
            lines << match.captured(1) + u'#';
        else
            lines << match.captured(1) + QStringLiteral("# (") + match.captured(2) +
                         QStringLiteral(" …)");
    }
    return lines;
}

QString script(QString command) {
    command.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("do shell script \"%1\" with administrator privileges").arg(command);
}

class MacSimulatorTest : public ::testing::Test {
protected:
    test::SimulatedMacHome home;

    [[nodiscard]] static Outcome pmset(const QStringList &arguments) {
        return test::run(ToolPaths::system().pmset, arguments);
    }
    [[nodiscard]] static Outcome query(const char *name) { return pmset({"-g", name}); }
    [[nodiscard]] static Outcome osascript(const QString &source) {
        return test::run(ToolPaths::system().osascript, {QStringLiteral("-e"), source});
    }
    [[nodiscard]] static Outcome authorized(const QString &command) {
        return osascript(script(command));
    }
};

} // namespace

TEST_F(MacSimulatorTest, AnEmptyFolderIsAFactoryLaptopOnItsAdapterAndLoadingWritesNothing) {
    EXPECT_EQ(home.state(), sim::SimulatorState::laptop());
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/state.json")));
}

// Laid out line for line as the published captures of real Macs (tests/data/mac-samples).
TEST_F(MacSimulatorTest, TheStandInLaysOutItsOutputAsRealMacsDo) {
    EXPECT_EQ(layout(query("custom").out),
              layout(capture("custom-applesilicon-laptop-powermode-2026")));

    auto imac = sim::SimulatorState::desktop();
    imac.sleepPreventers = {QStringLiteral("bluetoothd"), QStringLiteral("sharingd"),
                            QStringLiteral("coreaudiod")};
    imac.assertionHolders = {
        {734, "TargetBridgeReceiver", "PreventUserIdleDisplaySleep", "Target Display Mode", 0, {}}};
    imac.save(home.path());
    EXPECT_EQ(layout(query("custom").out), layout(capture("custom-hackintosh-desktop-macos13.2")));
    EXPECT_EQ(layout(query("live").out),
              layout(capture("live-imac2019-display-and-sleep-prevented-2026")));

    // Every type in the Mac's order, details indented with a tab; the stand-in has no kernel
    // assertions. The time stamp and the assertion ids differ from run to run.
    auto hackintosh = sim::SimulatorState::desktop();
    hackintosh.assertionHolders = {{94,
                                    "hidd",
                                    "UserIsActive",
                                    "com.apple.iohideventsystem.queue.tickle.4294969832.3",
                                    0,
                                    {"Timeout will fire in 600 secs Action=TimeoutActionRelease"}},
                                   {53,
                                    "powerd",
                                    "InternalPreventDisplaySleep",
                                    "com.apple.powermanagement.delayDisplayOff",
                                    4 * 60 + 30,
                                    {"Timeout will fire in 30 secs Action=TimeoutActionTurnOff"}}};
    hackintosh.save(home.path());
    static const QRegularExpression changing(
        QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d{4}\n|\[0x[0-9a-f]{16}\])"));
    const QString published = capture("assertions-hackintosh-tabs-2019");
    EXPECT_EQ(query("assertions").out.remove(changing),
              published.first(published.indexOf("Kernel Assertions:")).remove(changing));
    EXPECT_EQ(PowerAssertions::read(), PowerAssertions::parse(published));

    auto caffeinated = sim::SimulatorState::laptop();
    caffeinated.assertionHolders = test::caffeinateCaptureHolders();
    caffeinated.save(home.path());
    EXPECT_EQ(home.state().assertionHolders, test::caffeinateCaptureHolders());
    EXPECT_EQ(PowerAssertions::read()->holders,
              PowerAssertions::parse(capture("assertions-caffeinate-2025")).holders);

    home.change([](sim::SimulatorState &s) { s.failingQueries = {QStringLiteral("assertions")}; });
    EXPECT_FALSE(PowerAssertions::read());
}

TEST_F(MacSimulatorTest, HostileNamesComeBackAsTheyWere) {
    home.change([](sim::SimulatorState &s) {
        s.assertionHolders = {{7, "Download 100%1", "NoIdleSleepAssertion", "%2 done", 9, {"%1"}}};
        s.assertions.insert(QStringLiteral("Odd%1"), 1);
    });
    const auto read = PowerAssertions::read();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->holders,
              (QList<PowerAssertion>{
                  {7, "Download 100%1", "NoIdleSleepAssertion", "00:00:09", "%2 done", {"%1"}}}));
    EXPECT_TRUE(read->systemWide.contains({QStringLiteral("Odd%1"), 1}));
}

TEST_F(MacSimulatorTest, BattAndThePowerSourcesTellTheSameMac) {
    using PS = PowerStatus::Source;
    using State = sim::BatteryState;
    const auto laptop = [](Source providing, sim::BatteryStatus battery) {
        auto state = sim::SimulatorState::laptop();
        state.providing = providing;
        state.batteryStatus = battery;
        return state;
    };
    auto desktopOnUps = sim::SimulatorState::desktop();
    desktopOnUps.ups = sim::SimulatorState::factorySettings(Source::ups);
    desktopOnUps.providing = Source::ups;
    desktopOnUps.upsStatus = {60, State::discharging, 30};
    const QString onAdapter = "Now drawing from 'AC Power'\n -InternalBattery-0 (id=4653155)\t";
    const struct {
        sim::SimulatorState state;
        QString batt;
        PowerStatus status;
    } rows[] = {
        {sim::SimulatorState::laptop(),
         onAdapter + "85%; charging; 1:23 remaining present: true\n",
         {PS::adapter, true, 85, true, false, 83, {}}},
        {laptop(Source::battery, {42, State::discharging, std::nullopt}),
         "Now drawing from 'Battery Power'\n -InternalBattery-0 (id=4653155)\t42%; discharging; "
         "(no estimate) present: true\n",
         {PS::battery, true, 42, false, false, {}, {}}},
        {laptop(Source::adapter, {100, State::charged, 5}),
         onAdapter + "100%; charged; 0:00 remaining present: true\n",
         {PS::adapter, true, 100, false, true, {}, {}}},
        {laptop(Source::adapter, {80, State::notCharging, 5}),
         onAdapter + "80%; AC attached; not charging present: true\n",
         {PS::adapter, true, 80, false, false, {}, {}}},
        {sim::SimulatorState::desktop(), "Now drawing from 'AC Power'\n", {PS::adapter}},
        {desktopOnUps,
         "Now drawing from 'UPS Power'\n -UPS (id=4653156)\t60%; discharging; 0:30 remaining "
         "present: true\n",
         {PS::ups, false, 60, false, false, {}, 30}},
    };
    for (const auto &row : rows) {
        row.state.save(home.path());
        EXPECT_EQ(query("batt").out, row.batt);
        EXPECT_EQ(PowerStatus::read(), row.status) << row.batt.toStdString();
    }
}

TEST_F(MacSimulatorTest, ALongLogStartsAfresh) {
    QFile log(home.path() + QStringLiteral("/invocations.log"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    ASSERT_TRUE(log.resize(5LL * 1024 * 1024));
    log.close();
    (void)query("batt");
    EXPECT_EQ(sim::invocations(home.path()),
              (QList<sim::Invocation>{{"pmset", {"-g", "batt"}, false}}));
    EXPECT_EQ(QFileInfo(log.fileName() + QStringLiteral(".1")).size(), 5 * 1024 * 1024);
}

TEST_F(MacSimulatorTest, WritesWithoutAuthorizationFailAsWithoutRootAndUnknownQueriesFail) {
    const Outcome direct = pmset({"-c", "displaysleep", "3"});
    EXPECT_EQ(direct.exitCode, 1);
    EXPECT_EQ(direct.err, "Error: pmset must be run as root.\n");
    EXPECT_EQ(home.state(), sim::SimulatorState::laptop());
    EXPECT_NE(query("nonsense").exitCode, 0);
}

TEST_F(MacSimulatorTest, MalformedWritesAndScriptsAreRefused) {
    QList<std::pair<QString, QString>> refusals; // an osascript source and what its error holds
    for (const char *command : {
             "-u displaysleep 5 sleep 5", // no UPS on this Mac
             "-c displaysleep",
             "-c displaysleep ten",
             "-c displaysleep -1",
             "-c frobnicate 1",
             "-c displaysleep 99999999999999999999",
             // Values that -g custom could not print as they are, so that they would not read back.
             "-b hibernatefile \"/x\nUPS Power:\n displaysleep 1\"",
             "-c hibernatefile /x:",
             "-c hibernatefile \" /x\"",
             "-c hibernatefile ''",
         })
        refusals.append({script(QStringLiteral("/usr/bin/pmset ") + command),
                         QStringLiteral("execution error: ")});
    for (const char *source : {
             "display dialog \"hello\"",
             "do shell script \"true\"",
             "do shell script \"true\" with administrator privileges and more",
             R"(do shell script "say "hi"" with administrator privileges)",
             "do shell script \"unterminated with administrator privileges",
             R"(do shell script "bad \q escape" with administrator privileges)",
         })
        refusals.append({QString::fromUtf8(source), QStringLiteral(": syntax error: ")});
    for (const auto &[source, error] : refusals) {
        const Outcome result = osascript(source);
        EXPECT_EQ(result.exitCode, 1) << source.toStdString();
        EXPECT_TRUE(result.err.contains(error)) << result.err.toStdString();
    }
    EXPECT_EQ(test::run(ToolPaths::system().osascript, {QStringLiteral("script.scpt")}).exitCode,
              1);
    EXPECT_EQ(home.state(), sim::SimulatorState::laptop());
}

TEST_F(MacSimulatorTest, AWriteWithoutAFlagSetsEverySourceButPolicyLockedSettings) {
    home.change([](sim::SimulatorState &s) {
        s.ups = sim::SimulatorState::factorySettings(Source::ups);
        s.policyLockedSettings = {QStringLiteral("sleep")};
    });
    const Outcome result = authorized(QStringLiteral("/usr/bin/pmset displaysleep 20 sleep 0"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.isEmpty());
    for (const Source source : home.state().presentSources()) {
        EXPECT_EQ(home.state().settings(source)->number("displaysleep"), 20);
        EXPECT_EQ(home.state().settings(source)->number("sleep"),
                  sim::SimulatorState::factorySettings(source).number("sleep"));
    }
}

// After a write, pmset warns of every source whose display would stay on longer than the Mac
// stays awake: here the factory battery (display 2, sleep 1), not the adapter just written.
TEST_F(MacSimulatorTest, AWriteWarnsOfTimersThatWillNotBehaveAsSet) {
    const Outcome result =
        authorized(QStringLiteral("/usr/bin/pmset -c displaysleep 5 sleep 10 2>&1"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "Warning: Idle sleep timings for \"Battery Power\" may not behave as expected.\n"
              "- Display sleep should have a lower timeout than system sleep.\n");
    EXPECT_EQ(home.state().adapter->number("displaysleep"), 5);
}

TEST_F(MacSimulatorTest, AFailingPrivilegedCommandStopsTheChainAndCountsDown) {
    home.change([](sim::SimulatorState &s) {
        s.privilegedFailure =
            sim::PrivilegedFailure{QStringLiteral("pmset: disk is read-only"), Source::adapter, 1};
    });
    const QString command = QStringLiteral("/usr/bin/pmset -b displaysleep 4 sleep 4 && "
                                           "/usr/bin/pmset -c displaysleep 4 sleep 4");
    EXPECT_EQ(authorized(command).exitCode, 1);
    EXPECT_EQ(home.state().battery->number("sleep"), 4); // half done
    EXPECT_EQ(home.state().adapter->number("sleep"), 1);
    EXPECT_FALSE(home.state().privilegedFailure);
    EXPECT_EQ(authorized(command).exitCode, 0);
    EXPECT_EQ(home.state().adapter->number("sleep"), 4);

    // One that does not count down fails every write, on any source.
    home.change([](sim::SimulatorState &s) {
        s.privilegedFailure = sim::PrivilegedFailure{QStringLiteral("no")};
    });
    EXPECT_EQ(authorized(QStringLiteral("/usr/bin/pmset -b sleep 5")).exitCode, 1);
    EXPECT_EQ(authorized(QStringLiteral("/usr/bin/pmset -c sleep 5")).exitCode, 1);
    EXPECT_EQ(home.state().privilegedFailure, sim::PrivilegedFailure{QStringLiteral("no")});
    EXPECT_EQ(home.state().battery->number("sleep"), 4);
}

TEST_F(MacSimulatorTest, TheScriptsStringLiteralIsUnescaped) {
    const Outcome result =
        authorized(QStringLiteral(R"(printf '%s|%s' "quoted \"word\"" 'back\slash')"));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "quoted \"word\"|back\\slash\n");
}

TEST_F(MacSimulatorTest, ADamagedStateFileIsReportedAndKept) {
    sim::SimulatorState::laptop().save(home.path());
    const QString path = home.path() + QStringLiteral("/state.json");
    const QString good = test::readTextFile(path);
    const auto write = [&](const QString &text) { test::writeBytes(path, text.toUtf8()); };
    // Damaged in its shape rather than its syntax.
    for (const auto &[original, damage] : QList<std::pair<const char *, const char *>>{
             {"\"version\": 1", "\"version\": 2"},
             {R"("providing": "adapter")", R"("providing": "solar")"},
             {"\"lowPowerMode\": false", "\"lowPowerMode\": 0"},
             {R"("authorization": "allow")", "\"authorization\": 1"},
             {"\"/var/vm/sleepimage\"", R"("/x\nUPS Power:")"}}) {
        ASSERT_TRUE(good.contains(QLatin1String(original))) << original;
        write(QString(good).replace(QLatin1String(original), QLatin1String(damage)));
        EXPECT_THROW((void)home.state(), PlatformError) << damage;
    }

    write(QStringLiteral("{\"version\": 1, \"sources\": "));
    EXPECT_THROW((void)home.state(), PlatformError);
    const Outcome custom = query("custom");
    EXPECT_EQ(custom.exitCode, 1);
    EXPECT_TRUE(custom.err.contains(QStringLiteral("is damaged"))) << custom.err.toStdString();
    EXPECT_TRUE(custom.err.contains(path));
    EXPECT_TRUE(authorized(QStringLiteral("/usr/bin/pmset -c sleep 5"))
                    .err.contains(QStringLiteral("is damaged")));
    EXPECT_EQ(test::readTextFile(path), "{\"version\": 1, \"sources\": ");
}
