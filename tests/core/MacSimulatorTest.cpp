// The simulated Mac's stand-in programs, run as real processes against a temporary simulator
// folder: what they print reads back through the real parsers, and they authorize, refuse, fail
// and log the way the tests of the configuration engine rely on.
#include "Configuration/ConfigurationError.h"
#include "Platform/ToolRunner.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"
#include "Status/PowerAssertions.h"
#include "Status/PowerStatus.h"
#include "Status/SystemSettings.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace norvane;
using sim::Source;
using Values = QHash<QString, qint64>;

namespace {

struct ToolRun {
    int status = 0;
    QString output;
    QString error;
};

// The numeric settings that SystemSettings::parse can read from pmset's lines: one-word names
// with a whole-number value; Low Power Mode under the model's name, if any.
Values readableValues(const sim::PowerSettings &settings, const sim::SimulatorState &state) {
    static const QRegularExpression oneWord(QStringLiteral("^\\S+$"));
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    Values values;
    for (const auto &[name, value] : settings.entries)
        if (oneWord.match(name).hasMatch() && number.match(value).hasMatch())
            values.insert(name, value.toLongLong());
    if (const auto lowPower = values.take(QStringLiteral("lowpowermode")); state.lowPowerKey())
        values.insert(*state.lowPowerKey(), lowPower);
    return values;
}

// What a person sees of pmset's layout: the headers, each setting's name and the blanks before
// its value (values become "#"), and which remark follows it.
QStringList layout(const QString &output) {
    static const QRegularExpression setting(
        QStringLiteral(R"(^(\s.*?\s+)\S+(?: \(((?:display )?sleep prevented by) [^)]*\))?$)"));
    QStringList lines;
    for (const QString &line : output.split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const auto match = setting.match(line);
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

QString capture(const char *name) {
    return test::readTextFile(QStringLiteral(NORVANE_TEST_DATA_DIR "/mac-samples/") +
                              QLatin1String(name) + QStringLiteral(".txt"));
}

// Splits pmset -g custom output at its header lines and reads each section with the line parser.
QList<std::pair<QString, Values>> sections(const QString &output) {
    QList<std::pair<QString, QString>> texts;
    for (const QString &line : output.split(u'\n')) {
        if (line.trimmed().endsWith(u':'))
            texts.append({line.trimmed(), {}});
        else if (!texts.isEmpty())
            texts.last().second += line + u'\n';
    }
    QList<std::pair<QString, Values>> result;
    for (const auto &[header, text] : texts)
        result.append({header, SystemSettings::parse(text)});
    return result;
}

QString script(const QString &command) {
    QString escaped = command;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("do shell script \"%1\" with administrator privileges").arg(escaped);
}

class MacSimulatorTest : public ::testing::Test {
protected:
    test::SimulatedMacHome home;

    [[nodiscard]] ToolRun run(const QString &program, const QStringList &arguments) const {
        const ToolResult result =
            ProcessToolRunner().run(program, arguments, ToolRunner::StandardError::Capture);
        return {result.exitStatus, QString::fromUtf8(result.standardOutput),
                QString::fromUtf8(result.standardError)};
    }
    [[nodiscard]] ToolRun pmset(const QStringList &arguments) const {
        return run(ToolPaths::system().pmset, arguments);
    }
    [[nodiscard]] ToolRun osascript(const QString &source) const {
        return run(ToolPaths::system().osascript, {QStringLiteral("-e"), source});
    }
    [[nodiscard]] ToolRun authorized(const QString &command) const {
        return osascript(script(command));
    }

    [[nodiscard]] sim::SimulatorState state() const {
        return sim::SimulatorState::load(home.path());
    }
    void change(const std::function<void(sim::SimulatorState &)> &edit) const {
        auto current = state();
        edit(current);
        current.save(home.path());
    }
    [[nodiscard]] int pmsetRuns() const {
        const auto all = sim::invocations(home.path());
        return int(std::count_if(all.cbegin(), all.cend(),
                                 [](const sim::Invocation &i) { return i.tool == "pmset"; }));
    }

    void expectCustomReadsBack(const sim::SimulatorState &expected) const {
        const ToolRun custom = pmset({QStringLiteral("-g"), QStringLiteral("custom")});
        ASSERT_EQ(custom.status, 0) << custom.error.toStdString();
        QList<std::pair<QString, Values>> wanted;
        for (const Source source : expected.presentSources())
            wanted.append({sim::powerName(source) + u':',
                           readableValues(*expected.settings(source), expected)});
        EXPECT_EQ(sections(custom.output), wanted) << custom.output.toStdString();
    }
};

} // namespace

TEST_F(MacSimulatorTest, AnEmptyFolderIsAFactoryLaptopOnItsAdapter) {
    const sim::SimulatorState factory = state();
    EXPECT_EQ(factory, sim::SimulatorState::laptop());
    EXPECT_EQ(factory.presentSources(), (QList<Source>{Source::battery, Source::adapter}));
    EXPECT_EQ(factory.providing, Source::adapter);
    EXPECT_EQ(factory.battery->number("displaysleep"), 2);
    EXPECT_EQ(factory.battery->number("sleep"), 1);
    EXPECT_EQ(factory.adapter->number("displaysleep"), 10);
    EXPECT_EQ(factory.adapter->number("sleep"), 1);
    EXPECT_EQ(factory.adapter->value("hibernatefile"), "/var/vm/sleepimage");
    EXPECT_EQ(factory.adapter->value("Sleep On Power Button"), "1");
    EXPECT_FALSE(
        QFile::exists(home.path() + QStringLiteral("/state.json"))); // loading writes nothing
}

TEST_F(MacSimulatorTest, CustomPrintsEverySectionInTheMacsFormat) {
    const ToolRun custom = pmset({QStringLiteral("-g"), QStringLiteral("custom")});
    EXPECT_EQ(custom.status, 0);
    EXPECT_TRUE(
        custom.output.startsWith(QStringLiteral("Battery Power:\n Sleep On Power Button 1\n")));
    EXPECT_TRUE(custom.output.contains(QStringLiteral("\nAC Power:\n")));
    EXPECT_TRUE(custom.output.contains(QStringLiteral("\n displaysleep         10\n")));
    EXPECT_TRUE(
        custom.output.contains(QStringLiteral("\n hibernatefile        /var/vm/sleepimage\n")));
    EXPECT_FALSE(custom.output.contains(QStringLiteral("UPS Power:")));
}

TEST_F(MacSimulatorTest, CustomReadsBackExactlyForLaptopDesktopAndUps) {
    expectCustomReadsBack(state());

    auto desktop = sim::SimulatorState::desktop();
    desktop.adapter->set(QStringLiteral("displaysleep"), 1440);
    desktop.adapter->set(QStringLiteral("sleep"), 0);
    desktop.save(home.path());
    expectCustomReadsBack(desktop);

    auto withUps = sim::SimulatorState::laptop();
    withUps.ups = sim::SimulatorState::factorySettings(Source::ups);
    withUps.ups->set(QStringLiteral("haltremain"), -1);
    withUps.battery->set(QStringLiteral("displaysleep"), 7);
    withUps.save(home.path());
    expectCustomReadsBack(withUps);
    const auto parsed = sections(pmset({QStringLiteral("-g"), QStringLiteral("custom")}).output);
    ASSERT_EQ(parsed.size(), 3);
    EXPECT_EQ(parsed[2].first, "UPS Power:");
    EXPECT_EQ(parsed[2].second.value("haltremain"), -1);
}

TEST_F(MacSimulatorTest, LiveShowsLowPowerModeAsEachModelNamesItSleepDisabledAndPreventers) {
    using Model = sim::MachineModel;
    for (const Model model : {Model::appleSiliconLaptop, Model::intelLaptop, Model::desktop}) {
        auto edited = model == Model::desktop ? sim::SimulatorState::desktop()
                                              : sim::SimulatorState::laptop();
        edited.model = model;
        edited.providing = model == Model::desktop ? Source::adapter : Source::battery;
        edited.settings(edited.providing)->set(QStringLiteral("sleep"), 3);
        edited.lowPowerMode = true;
        edited.sleepDisabled = true;
        edited.sleepPreventers = {QStringLiteral("coreaudiod")};
        edited.assertionHolders = {{41, "Music", "PreventUserIdleSystemSleep", "Playing", 0, {}},
                                   {42, "Keynote", "PreventUserIdleDisplaySleep", "Show", 0, {}},
                                   {43, "Keynote", "PreventUserIdleSystemSleep", "Show", 0, {}}};
        edited.save(home.path());

        const ToolRun live = pmset({QStringLiteral("-g"), QStringLiteral("live")});
        ASSERT_EQ(live.status, 0);
        EXPECT_TRUE(live.output.startsWith(QStringLiteral(
            "System-wide power settings:\n SleepDisabled\t\t1\nCurrently in use:\n")));
        Values expected = readableValues(*edited.settings(edited.providing), edited);
        expected.insert(QStringLiteral("halfdim"), 1);
        expected.insert(QStringLiteral("SleepDisabled"), 1);
        if (edited.lowPowerKey())
            expected.insert(*edited.lowPowerKey(), 1);
        EXPECT_EQ(SystemSettings::parse(live.output), expected) << live.output.toStdString();

        SystemSettings read;
        SystemSettings::readLive(read, live.output);
        EXPECT_EQ(read.lowPower, model == Model::desktop ? std::nullopt : std::optional(true));
        EXPECT_EQ(read.sleepDisabled, true);
        EXPECT_EQ(read.sleepMinutes, 3);
        EXPECT_EQ(read.sleepPreventers, QStringLiteral("coreaudiod, Music, Keynote"));
        EXPECT_EQ(read.displaySleepPreventers, QStringLiteral("Keynote"));
    }
}

// Laid out line for line as the published captures of real Macs (tests/data/mac-samples).
TEST_F(MacSimulatorTest, TheStandInLaysOutItsOutputAsRealMacsDo) {
    const auto output = [&](const char *query) {
        return pmset({QStringLiteral("-g"), QLatin1String(query)}).output;
    };
    sim::SimulatorState::laptop().save(home.path());
    EXPECT_EQ(layout(output("custom")),
              layout(capture("custom-applesilicon-laptop-powermode-2026")));

    auto imac = sim::SimulatorState::desktop();
    imac.sleepPreventers = {QStringLiteral("bluetoothd"), QStringLiteral("sharingd"),
                            QStringLiteral("coreaudiod")};
    imac.assertionHolders = {
        {734, "TargetBridgeReceiver", "PreventUserIdleDisplaySleep", "Target Display Mode", 0, {}}};
    imac.save(home.path());
    EXPECT_EQ(layout(output("custom")), layout(capture("custom-hackintosh-desktop-macos13.2")));
    EXPECT_EQ(layout(output("live")),
              layout(capture("live-imac2019-display-and-sleep-prevented-2026")));

    auto caffeinated = sim::SimulatorState::laptop();
    caffeinated.assertionHolders = {
        {98217,
         "caffeinate",
         "PreventUserIdleSystemSleep",
         "caffeinate command-line tool",
         3,
         {"Details: caffeinate asserting for 1600 secs",
          "Localized=THE CAFFEINATE TOOL IS PREVENTING SLEEP.",
          "Timeout will fire in 1597 secs Action=TimeoutActionRelease"}},
        {145,
         "WindowServer",
         "UserIsActive",
         "com.apple.iohideventsystem.queue.tickle serviceID:10009be9e "
         "service:AppleUserHIDEventService product:CTRL Keyboard eventType:3",
         0,
         {"Timeout will fire in 600 secs Action=TimeoutActionRelease"}},
        {80,
         "powerd",
         "PreventUserIdleSystemSleep",
         "Powerd - Prevent sleep while display is on",
         22 * 60 + 34,
         {}}};
    caffeinated.save(home.path());
    // The time stamp and the assertion ids differ from run to run.
    static const QRegularExpression changing(
        QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d{4}\n|\[0x[0-9a-f]{16}\])"));
    const QString assertions = output("assertions");
    EXPECT_EQ(QString(assertions).remove(changing),
              capture("assertions-caffeinate-2025").remove(changing));
    EXPECT_EQ(PowerAssertions::read(),
              PowerAssertions::parse(capture("assertions-caffeinate-2025")));

    change([](sim::SimulatorState &s) { s.failingQueries = {QStringLiteral("assertions")}; });
    EXPECT_FALSE(PowerAssertions::read());
}

// pmset -g batt and the power-source interface describe the same simulated Mac.
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
    const QString battery = QStringLiteral(" -InternalBattery-0 (id=4653155)\t");
    const struct {
        sim::SimulatorState state;
        QString batt;
        PowerStatus status;
    } rows[] = {
        {sim::SimulatorState::laptop(),
         "Now drawing from 'AC Power'\n" + battery +
             "85%; charging; 1:23 remaining present: true\n",
         {PS::adapter, true, 85, true, false, 83, {}}},
        {laptop(Source::battery, {42, State::discharging, std::nullopt}),
         "Now drawing from 'Battery Power'\n" + battery +
             "42%; discharging; (no estimate) present: true\n",
         {PS::battery, true, 42, false, false, {}, {}}},
        {laptop(Source::battery, {40, State::discharging, 95}),
         "Now drawing from 'Battery Power'\n" + battery +
             "40%; discharging; 1:35 remaining present: true\n",
         {PS::battery, true, 40, false, false, {}, 95}},
        {laptop(Source::adapter, {100, State::charged, 5}),
         "Now drawing from 'AC Power'\n" + battery +
             "100%; charged; 0:00 remaining present: true\n",
         {PS::adapter, true, 100, false, true, {}, {}}},
        {laptop(Source::adapter, {80, State::notCharging, 5}),
         "Now drawing from 'AC Power'\n" + battery +
             "80%; AC attached; not charging present: true\n",
         {PS::adapter, true, 80, false, false, {}, {}}},
        {sim::SimulatorState::desktop(), "Now drawing from 'AC Power'\n", {PS::adapter}},
        {desktopOnUps,
         "Now drawing from 'UPS Power'\n -UPS (id=4653156)\t60%; discharging; 0:30 remaining "
         "present: true\n",
         {PS::ups, false, 60, false, false, {}, 30}},
    };
    for (const auto &row : rows) {
        row.state.save(home.path());
        EXPECT_EQ(pmset({QStringLiteral("-g"), QStringLiteral("batt")}).output, row.batt);
        EXPECT_EQ(PowerStatus::read(), row.status) << row.batt.toStdString();
    }
}

TEST_F(MacSimulatorTest, EachQueryCanBeMadeToFail) {
    change([](sim::SimulatorState &s) { s.failingQueries = {QStringLiteral("custom")}; });
    const ToolRun custom = pmset({QStringLiteral("-g"), QStringLiteral("custom")});
    EXPECT_NE(custom.status, 0);
    EXPECT_TRUE(custom.output.isEmpty());
    EXPECT_EQ(pmset({QStringLiteral("-g"), QStringLiteral("live")}).status, 0);
    EXPECT_EQ(pmset({QStringLiteral("-g"), QStringLiteral("batt")}).status, 0);
    EXPECT_NE(pmset({QStringLiteral("-g"), QStringLiteral("nonsense")}).status, 0);
}

TEST_F(MacSimulatorTest, AnAuthorizedCommandWritesEachSource) {
    const ToolRun result = authorized(QStringLiteral("/usr/bin/pmset -b displaysleep 5 sleep 15 && "
                                                     "/usr/bin/pmset -c displaysleep 0 sleep 0"));
    EXPECT_EQ(result.status, 0) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());
    const sim::SimulatorState after = state();
    EXPECT_EQ(after.battery->number("displaysleep"), 5);
    EXPECT_EQ(after.battery->number("sleep"), 15);
    EXPECT_EQ(after.adapter->number("displaysleep"), 0);
    EXPECT_EQ(after.adapter->number("sleep"), 0);
    EXPECT_EQ(after.adapter->number("disksleep"), 10);

    const auto log = sim::invocations(home.path());
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0].tool, "osascript");
    EXPECT_FALSE(log[0].privileged);
    EXPECT_EQ(log[1], (sim::Invocation{"pmset", {"-b", "displaysleep", "5", "sleep", "15"}, true}));
    EXPECT_EQ(log[2], (sim::Invocation{"pmset", {"-c", "displaysleep", "0", "sleep", "0"}, true}));
}

TEST_F(MacSimulatorTest, WritesWithoutAuthorizationFailAsWithoutRoot) {
    const ToolRun direct =
        pmset({QStringLiteral("-c"), QStringLiteral("displaysleep"), QStringLiteral("3")});
    EXPECT_EQ(direct.status, 1);
    EXPECT_EQ(direct.error, "Error: pmset must be run as root.\n");
    EXPECT_EQ(state(), sim::SimulatorState::laptop());
    EXPECT_EQ(sim::invocations(home.path()),
              (QList<sim::Invocation>{{"pmset", {"-c", "displaysleep", "3"}, false}}));
}

TEST_F(MacSimulatorTest, MalformedWritesAreRefused) {
    const auto refused = [&](const QString &command) {
        const ToolRun result = authorized(command);
        EXPECT_EQ(result.status, 1) << command.toStdString();
        EXPECT_TRUE(result.error.contains(QStringLiteral("execution error: ")))
            << result.error.toStdString();
    };
    refused(QStringLiteral("/usr/bin/pmset -u displaysleep 5 sleep 5")); // no UPS on this Mac
    refused(QStringLiteral("/usr/bin/pmset -c displaysleep"));
    refused(QStringLiteral("/usr/bin/pmset -c displaysleep ten"));
    refused(QStringLiteral("/usr/bin/pmset -c displaysleep -1"));
    refused(QStringLiteral("/usr/bin/pmset -c frobnicate 1"));
    // Values that -g custom could not print as they are, so that they would not read back.
    refused(QStringLiteral("/usr/bin/pmset -b hibernatefile \"/x\nUPS Power:\n displaysleep 1\""));
    refused(QStringLiteral("/usr/bin/pmset -c hibernatefile /x:"));
    refused(QStringLiteral("/usr/bin/pmset -c hibernatefile \" /x\""));
    refused(QStringLiteral("/usr/bin/pmset -c hibernatefile ''"));
    refused(QStringLiteral("/usr/bin/pmset -c displaysleep 99999999999999999999"));
    EXPECT_EQ(state(), sim::SimulatorState::laptop());
    expectCustomReadsBack(state());
}

TEST_F(MacSimulatorTest, AllSourcesWithoutAFlag) {
    change(
        [](sim::SimulatorState &s) { s.ups = sim::SimulatorState::factorySettings(Source::ups); });
    ASSERT_EQ(authorized(QStringLiteral("/usr/bin/pmset -a sleep 30")).status, 0);
    ASSERT_EQ(authorized(QStringLiteral("/usr/bin/pmset displaysleep 20")).status, 0);
    for (const Source source : state().presentSources()) {
        EXPECT_EQ(state().settings(source)->number("sleep"), 30);
        EXPECT_EQ(state().settings(source)->number("displaysleep"), 20);
    }
}

TEST_F(MacSimulatorTest, CancellingTheDialogRunsNothing) {
    change([](sim::SimulatorState &s) { s.authorization = sim::Authorization::cancel; });
    const QString source = script(QStringLiteral("/usr/bin/pmset -c displaysleep 5 sleep 5"));
    const ToolRun result = osascript(source);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.error,
              QStringLiteral("0:%1: execution error: User canceled. (-128)\n").arg(source.size()));
    EXPECT_EQ(pmsetRuns(), 0);
    EXPECT_EQ(state().adapter->number("displaysleep"), 10);
}

TEST_F(MacSimulatorTest, AFailedAuthorizationReportsItsMessage) {
    change([](sim::SimulatorState &s) {
        s.authorization = sim::Authorization::fail;
        s.authorizationFailureMessage =
            QStringLiteral("The administrator user name or password was incorrect.");
    });
    const ToolRun result = authorized(QStringLiteral("/usr/bin/pmset -c displaysleep 5 sleep 5"));
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.error.endsWith(QStringLiteral(
        ": execution error: The administrator user name or password was incorrect. (1)\n")));
    EXPECT_EQ(pmsetRuns(), 0);
}

TEST_F(MacSimulatorTest, AFailingPrivilegedCommandStopsTheChainAndCountsDown) {
    change([](sim::SimulatorState &s) {
        s.privilegedFailure =
            sim::PrivilegedFailure{QStringLiteral("pmset: disk is read-only"), Source::adapter, 1};
    });
    const QString command = QStringLiteral("/usr/bin/pmset -b displaysleep 4 sleep 4 && "
                                           "/usr/bin/pmset -c displaysleep 4 sleep 4");
    const ToolRun first = authorized(command);
    EXPECT_EQ(first.status, 1);
    EXPECT_TRUE(
        first.error.endsWith(QStringLiteral(": execution error: pmset: disk is read-only (1)\n")))
        << first.error.toStdString();
    EXPECT_EQ(state().battery->number("sleep"), 4); // half done
    EXPECT_EQ(state().adapter->number("sleep"), 1);
    EXPECT_FALSE(state().privilegedFailure);

    EXPECT_EQ(authorized(command).status, 0);
    EXPECT_EQ(state().adapter->number("sleep"), 4);
}

TEST_F(MacSimulatorTest, AnEverlastingFailureKeepsFailing) {
    change([](sim::SimulatorState &s) {
        s.privilegedFailure = sim::PrivilegedFailure{QStringLiteral("no"), {}, -1};
    });
    EXPECT_EQ(authorized(QStringLiteral("/usr/bin/pmset -b sleep 4")).status, 1);
    EXPECT_EQ(authorized(QStringLiteral("/usr/bin/pmset -c sleep 4")).status, 1);
    EXPECT_TRUE(state().privilegedFailure);
    EXPECT_EQ(state().battery->number("sleep"), 1);
}

TEST_F(MacSimulatorTest, APolicyLockedSettingIsSilentlyKept) {
    change([](sim::SimulatorState &s) { s.policyLockedSettings = {QStringLiteral("sleep")}; });
    const ToolRun result = authorized(QStringLiteral("/usr/bin/pmset -c displaysleep 3 sleep 0"));
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(state().adapter->number("displaysleep"), 3);
    EXPECT_EQ(state().adapter->number("sleep"), 1);
}

TEST_F(MacSimulatorTest, ShellErrorsCarryTheCommandsMessageAndStatus) {
    ToolRun result = authorized(QStringLiteral("echo 'first line' >&2; echo second >&2; exit 3"));
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(
        result.error.endsWith(QStringLiteral(": execution error: first line\rsecond (3)\n")))
        << result.error.toStdString();
    result = authorized(QStringLiteral("exit 4"));
    EXPECT_TRUE(result.error.endsWith(
        QStringLiteral(": execution error: The command exited with a non-zero status. (4)\n")));
}

TEST_F(MacSimulatorTest, TheScriptsStringLiteralIsUnescaped) {
    const ToolRun result =
        authorized(QStringLiteral(R"(printf '%s|%s' "quoted \"word\"" 'back\slash')"));
    EXPECT_EQ(result.status, 0) << result.error.toStdString();
    EXPECT_EQ(result.output, "quoted \"word\"|back\\slash\n");
}

TEST_F(MacSimulatorTest, OtherScriptsAreSyntaxErrors) {
    const QStringList sources{
        QStringLiteral("display dialog \"hello\""),
        QStringLiteral("do shell script \"true\""),
        QStringLiteral("do shell script \"true\" with administrator privileges and more"),
        QStringLiteral("do shell script \"say \"hi\"\" with administrator privileges"),
        QStringLiteral("do shell script \"unterminated with administrator privileges"),
        QStringLiteral("do shell script \"bad \\q escape\" with administrator privileges"),
    };
    for (const QString &source : sources) {
        const ToolRun result = osascript(source);
        EXPECT_EQ(result.status, 1) << source.toStdString();
        EXPECT_TRUE(result.error.contains(QStringLiteral("syntax error: ")))
            << source.toStdString();
        EXPECT_TRUE(result.error.endsWith(QStringLiteral(" (-2741)\n")))
            << result.error.toStdString();
    }
    EXPECT_EQ(run(ToolPaths::system().osascript, {QStringLiteral("script.scpt")}).status, 1);
    EXPECT_EQ(pmsetRuns(), 0);
}

TEST_F(MacSimulatorTest, EveryRunIsLoggedWithItsArguments) {
    (void)pmset({QStringLiteral("-g"), QStringLiteral("custom")});
    (void)pmset({QStringLiteral("with space"), QStringLiteral("\"quoted\"")});
    (void)osascript(QStringLiteral("nonsense"));
    EXPECT_EQ(sim::invocations(home.path()), (QList<sim::Invocation>{
                                                 {"pmset", {"-g", "custom"}, false},
                                                 {"pmset", {"with space", "\"quoted\""}, false},
                                                 {"osascript", {"-e", "nonsense"}, false},
                                             }));
}

TEST_F(MacSimulatorTest, ALongLogStartsAfresh) {
    QFile log(home.path() + QStringLiteral("/invocations.log"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    ASSERT_TRUE(log.resize(5 * 1024 * 1024));
    log.close();
    (void)pmset({QStringLiteral("-g"), QStringLiteral("batt")});
    EXPECT_EQ(sim::invocations(home.path()),
              (QList<sim::Invocation>{{"pmset", {"-g", "batt"}, false}}));
    EXPECT_EQ(QFileInfo(log.fileName() + QStringLiteral(".1")).size(), 5 * 1024 * 1024);
}

TEST_F(MacSimulatorTest, ADamagedStateFileIsReportedAndKept) {
    const QString path = home.path() + QStringLiteral("/state.json");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\"version\": 1, \"sources\": ");
    }
    const ToolRun custom = pmset({QStringLiteral("-g"), QStringLiteral("custom")});
    EXPECT_EQ(custom.status, 1);
    EXPECT_TRUE(custom.error.contains(QStringLiteral("is damaged"))) << custom.error.toStdString();
    EXPECT_TRUE(custom.error.contains(path));
    const ToolRun write = authorized(QStringLiteral("/usr/bin/pmset -c sleep 5"));
    EXPECT_EQ(write.status, 1);
    EXPECT_TRUE(write.error.contains(QStringLiteral("is damaged")));
    EXPECT_EQ(test::readTextFile(path), "{\"version\": 1, \"sources\": ");
    EXPECT_THROW((void)sim::SimulatorState::load(home.path()), PlatformError);
}

TEST_F(MacSimulatorTest, StateFilesOfTheWrongShapeAreDamaged) {
    auto saved = sim::SimulatorState::laptop();
    saved.save(home.path());
    const QString path = home.path() + QStringLiteral("/state.json");
    const QString good = test::readTextFile(path);
    const QStringList damages{
        QStringLiteral("\"version\": 1"), QStringLiteral("\"providing\": \"adapter\""),
        QStringLiteral("\"lowPowerMode\": false"), QStringLiteral("\"authorization\": \"allow\""),
        QStringLiteral("\"/var/vm/sleepimage\"")};
    const QStringList replacements{
        QStringLiteral("\"version\": 2"), QStringLiteral("\"providing\": \"solar\""),
        QStringLiteral("\"lowPowerMode\": 0"), QStringLiteral("\"authorization\": 1"),
        QStringLiteral("\"/x\\nUPS Power:\"")};
    for (qsizetype i = 0; i < damages.size(); ++i) {
        ASSERT_TRUE(good.contains(damages[i])) << damages[i].toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QString(good).replace(damages[i], replacements[i]).toUtf8());
        file.close();
        EXPECT_THROW((void)sim::SimulatorState::load(home.path()), PlatformError)
            << replacements[i].toStdString();
    }
}

TEST_F(MacSimulatorTest, EveryFieldSurvivesSaveAndLoad) {
    sim::SimulatorState saved = sim::SimulatorState::desktop();
    saved.ups = sim::SimulatorState::factorySettings(Source::ups);
    saved.providing = Source::ups;
    saved.batteryStatus = {12, sim::BatteryState::notCharging, std::nullopt};
    saved.upsStatus = {33, sim::BatteryState::discharging, 12};
    saved.model = sim::MachineModel::intelLaptop;
    saved.lowPowerMode = true;
    saved.sleepDisabled = true;
    saved.sleepPreventers = {QStringLiteral("backupd")};
    saved.assertionHolders = {{7, "backupd", "PreventSystemSleep", "Backup", 61, {"Details: x"}}};
    saved.assertions = {{QStringLiteral("PreventUserIdleSystemSleep"), 3}};
    saved.authorization = sim::Authorization::fail;
    saved.authorizationFailureMessage = QStringLiteral("denied");
    saved.failingQueries = {QStringLiteral("live"), QStringLiteral("batt")};
    saved.policyLockedSettings = {QStringLiteral("displaysleep")};
    saved.privilegedFailure = sim::PrivilegedFailure{QStringLiteral("locked"), Source::ups, 2};
    saved.preferencesSynchronizeFails = true;
    saved.assertionQueryFails = true;
    saved.save(home.path());
    EXPECT_EQ(sim::SimulatorState::load(home.path()), saved);

    sim::SimulatorState::reset(home.path());
    EXPECT_EQ(sim::SimulatorState::load(home.path()), sim::SimulatorState::laptop());
}
