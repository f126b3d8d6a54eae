#include "Status/SystemSettings.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "Platform/Platform.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Values = QHash<QString, qint64>;

const QString kLive = QStringLiteral(R"(Currently in use:
 standby              1
 Sleep On Power Button 1
 hibernatefile        /var/vm/sleepimage
 displaysleep         10
 sleep                1 (sleep prevented by coreaudiod, Music)
 lowpowermode         1
)");
const QString kBatteryOnAdapter = QStringLiteral(
    "Now drawing from 'AC Power'\n -InternalBattery-0 (id=4653155)\t85%; charging; 1:23 remaining present: true\n");

// Answers pmset runs from a script keyed by the joined arguments; a missing entry cannot launch.
class ScriptedRunner final : public ToolRunner {
public:
    QHash<QString, ToolResult> results;
    mutable QList<QStringList> calls;
    mutable QStringList programs;

    ToolResult run(const QString &program, const QStringList &arguments,
                   StandardError) const override {
        calls << arguments;
        programs << program;
        const auto result = results.constFind(arguments.join(u' '));
        if (result == results.cend())
            throw PlatformError(QStringLiteral("Could not launch %1").arg(program));
        return *result;
    }
};

class FakePreferences final : public HostPreferences {
public:
    std::optional<QVariant> idleTime;
    bool throws = false;
    QStringList synchronized;

    bool synchronize(const QString &domain) override {
        synchronized << domain;
        return true;
    }
    std::optional<QVariant> copyValue(const QString &key, const QString &domain) override {
        if (throws)
            throw PlatformError(QStringLiteral("preferences unavailable"));
        return key == u"idleTime" && domain == u"com.apple.screensaver" ? idleTime : std::nullopt;
    }
    void setValue(const QString &, const std::optional<QVariant> &, const QString &) override {}
    void postNotification(const QString &) override {}
};

class FakeAssertions final : public AssertionStatus {
public:
    std::optional<QVariantMap> status;
    std::optional<QVariantMap> copyStatus() const override { return status; }
};

class SystemSettingsRead : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedRunner> runner = std::make_shared<ScriptedRunner>();
    std::shared_ptr<FakePreferences> preferences = std::make_shared<FakePreferences>();
    std::shared_ptr<FakeAssertions> assertions = std::make_shared<FakeAssertions>();

    void SetUp() override {
        runner->results.insert(QStringLiteral("-g live"), {0, kLive.toUtf8(), {}});
        runner->results.insert(QStringLiteral("-g batt"), {0, kBatteryOnAdapter.toUtf8(), {}});
        preferences->idleTime = QVariant::fromValue(qint64(300));
        assertions->status = QVariantMap{{QStringLiteral("PreventUserIdleDisplaySleep"), qint64(2)},
                                         {QStringLiteral("PreventUserIdleSystemSleep"), qint64(0)}};
    }

    [[nodiscard]] Platform platform() const {
        return {{QStringLiteral("/fake/pmset"), QStringLiteral("/fake/osascript")},
                runner,
                preferences,
                assertions,
                nullptr};
    }
    void battOutput(const char *text) {
        runner->results[QStringLiteral("-g batt")].standardOutput = text;
    }
    void liveOutput(const QString &text) {
        runner->results[QStringLiteral("-g live")].standardOutput = text.toUtf8();
    }
};

} // namespace

TEST(SystemSettingsParse, EmptyTextsAndLinesWithoutTwoWordsGiveNothing) {
    EXPECT_TRUE(SystemSettings::parse({}).isEmpty());
    EXPECT_TRUE(
        SystemSettings::parse(QStringLiteral("\n\n   \nBattery Power:\n  lonely\n")).isEmpty());
}

TEST(SystemSettingsParse, ReadsTheSecondWordAndIgnoresTheRest) {
    EXPECT_EQ(SystemSettings::parse(
                  QStringLiteral("   displaysleep      10\n sleep 0 (sleep prevented by a, b)\n")),
              (Values{{"displaysleep", 10}, {"sleep", 0}}));
}

TEST(SystemSettingsParse, SkipsMultiWordNamesPathsAndWords) {
    const Values values = SystemSettings::parse(QStringLiteral(
        " Sleep On Power Button 1\n hibernatefile /var/vm/sleepimage\n womp on\n disksleep 10\n"));
    EXPECT_EQ(values, (Values{{"disksleep", 10}}));
}

TEST(SystemSettingsParse, LaterLinesReplaceEarlierOnesAndNamesAreCaseSensitive) {
    EXPECT_EQ(SystemSettings::parse(QStringLiteral("sleep 1\nSleep 7\nsleep 5\n")),
              (Values{{"sleep", 5}, {"Sleep", 7}}));
}

TEST(SystemSettingsParse, NumbersAreSignedAsciiDecimalsThatFit64Bits) {
    const Values values =
        SystemSettings::parse(QStringLiteral("plus +5\n"
                                             "minus -3\n"
                                             "zeros 007\n"
                                             "max 9223372036854775807\n"
                                             "min -9223372036854775808\n"
                                             "over 9223372036854775808\n"
                                             "under -9223372036854775809\n"
                                             "huge 123456789012345678901234567890\n"
                                             "unit 10m\n"
                                             "decimal 1.5\n"
                                             "sign +\n"
                                             "twosigns +-1\n"
                                             "hex 0x10\n"
                                             "inner 1,000\n"
                                             "arabic \u0663\n"
                                             "fullwidth \uFF11\n"));
    EXPECT_EQ(values, (Values{{"plus", 5},
                              {"minus", -3},
                              {"zeros", 7},
                              {"max", std::numeric_limits<qint64>::max()},
                              {"min", std::numeric_limits<qint64>::min()}}));
}

TEST(SystemSettingsParse, AnyUnicodeWhitespaceSeparatesWords) {
    const QString text =
        QStringLiteral("tab\t4\nnbsp\u00A05\n\u3000ideographic\u2003\u20036\u2028\ncarriage 7\r\n");
    EXPECT_EQ(SystemSettings::parse(text),
              (Values{{"tab", 4}, {"nbsp", 5}, {"ideographic", 6}, {"carriage", 7}}));
}

TEST(SystemSettingsReadLive, LowPowerSleepDisabledAndBothRemarks) {
    const struct {
        const char *output;
        std::optional<bool> lowPower;
        std::optional<bool> sleepDisabled;
        std::optional<QString> sleepPreventers;
        std::optional<QString> displaySleepPreventers;
    } rows[] = {
        {"Currently in use:\n powermode 0\n", false, {}, {}, {}},
        {"Currently in use:\n powermode 1\n", true, {}, {}, {}},
        {"Currently in use:\n powermode 2\n", false, {}, {}, {}},
        {"Currently in use:\n lowpowermode 0\n powermode 1\n", false, {}, {}, {}},
        {"Currently in use:\n displaysleep 10\n", {}, {}, {}, {}},
        {"System-wide power settings:\n SleepDisabled\t\t1\nCurrently in use:\n sleep 1\n",
         {},
         true,
         {},
         {}},
        {"System-wide power settings:\nCurrently in use:\n SleepDisabled 1\n", {}, false, {}, {}},
        {"Currently in use:\n sleep 0 (sleep prevented by a, b)\n"
         " displaysleep 5 (display sleep prevented by Keynote, c)\n",
         {},
         {},
         "a, b",
         "Keynote, c"},
        {"Currently in use:\n displaysleep 5 (display sleep prevented by Keynote)\n",
         {},
         {},
         {},
         "Keynote"},
    };
    for (const auto &row : rows) {
        SystemSettings settings;
        SystemSettings::readLive(settings, QString::fromUtf8(row.output));
        SCOPED_TRACE(row.output);
        EXPECT_EQ(settings.lowPower, row.lowPower);
        EXPECT_EQ(settings.sleepDisabled, row.sleepDisabled);
        EXPECT_EQ(settings.sleepPreventers, row.sleepPreventers);
        EXPECT_EQ(settings.displaySleepPreventers, row.displaySleepPreventers);
    }
}

TEST(SystemSettingsDuration, NamesUnavailableNeverAndMinutes) {
    EXPECT_EQ(SystemSettings::duration(std::nullopt), L10n::text("Unavailable"));
    EXPECT_EQ(SystemSettings::duration(-1), L10n::text("Unavailable"));
    EXPECT_EQ(SystemSettings::duration(0), L10n::text("Never (system setting)"));
    const QString fifteen = SystemSettings::duration(15);
    EXPECT_EQ(fifteen, L10n::text({"After {0} min of inactivity", {"15"}}));
    EXPECT_TRUE(fifteen.contains(u"15"));
    EXPECT_FALSE(fifteen.contains(u"{0}"));
    EXPECT_EQ(L10n::text({"After {0} min of inactivity", {"15"}}, QStringLiteral("en")),
              "After 15 min of inactivity");
}

TEST_F(SystemSettingsRead, FillsEveryFieldFromTwoPmsetRunsTheAssertionsAndThePreferences) {
    const QDateTime before = QDateTime::currentDateTime();
    const SystemSettings settings = SystemSettings::read(platform());
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_EQ(runner->calls, (QList<QStringList>{{"-g", "live"}, {"-g", "batt"}}));
    EXPECT_EQ(runner->programs, QStringList({"/fake/pmset", "/fake/pmset"}));
    EXPECT_EQ(settings.displayMinutes, 10);
    EXPECT_EQ(settings.sleepMinutes, 1);
    EXPECT_EQ(settings.lowPower, true);
    EXPECT_EQ(settings.sleepPreventers, QStringLiteral("coreaudiod, Music"));
    EXPECT_EQ(settings.source, L10n::text("Power adapter"));
    EXPECT_EQ(settings.displayAssertion, true);
    EXPECT_EQ(settings.systemAssertion, false);
    EXPECT_EQ(settings.screenSaverSeconds, 300);
    EXPECT_EQ(preferences->synchronized, QStringList{"com.apple.screensaver"});
    EXPECT_FALSE(settings.error);
    EXPECT_LE(before, settings.readAt);
    EXPECT_LE(settings.readAt, after);
}

TEST_F(SystemSettingsRead, PowerSourceIsTheFirstMatchingProvider) {
    battOutput("Now drawing from 'AC Power'\nlast seen on 'Battery Power'\n");
    EXPECT_EQ(SystemSettings::read(platform()).source, L10n::text("Power adapter"));
    battOutput("Now drawing from 'Battery Power'\n");
    EXPECT_EQ(SystemSettings::read(platform()).source, L10n::text("Battery"));
    battOutput("Now drawing from 'UPS Power'\n");
    EXPECT_EQ(SystemSettings::read(platform()).source, "UPS");
    battOutput("Now drawing from 'Solar Power'\n");
    const SystemSettings unknown = SystemSettings::read(platform());
    EXPECT_EQ(unknown.source, L10n::text("Unavailable"));
    EXPECT_FALSE(unknown.error);
}

TEST_F(SystemSettingsRead, SleepPreventersNeedTheExactOpeningAndAClosingParenthesis) {
    liveOutput(
        QStringLiteral(" sleep 1 (sleep prevented by  powerd ,x)(sleep prevented by other)\n"));
    EXPECT_EQ(SystemSettings::read(platform()).sleepPreventers, QStringLiteral(" powerd ,x"));
    liveOutput(QStringLiteral(" sleep 1 (sleep prevented by coreaudiod, Music\n"));
    EXPECT_FALSE(SystemSettings::read(platform()).sleepPreventers);
    liveOutput(QStringLiteral(
        " displaysleep 10 (display sleep prevented by Keynote)\n sleep 1 (Sleep prevented by x)\n"));
    EXPECT_FALSE(SystemSettings::read(platform()).sleepPreventers);
}

TEST_F(SystemSettingsRead, OutputWithoutTheKeysLeavesFieldsEmptyWithoutAnError) {
    liveOutput(QStringLiteral("Currently in use:\n lowpowermode 0\n"));
    const SystemSettings settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.displayMinutes);
    EXPECT_FALSE(settings.sleepMinutes);
    EXPECT_EQ(settings.lowPower, false);
    EXPECT_FALSE(settings.error);
}

TEST_F(SystemSettingsRead, AFirstRunThatCannotLaunchSkipsTheSecondButNotTheRest) {
    runner->results.remove(QStringLiteral("-g live"));
    const SystemSettings settings = SystemSettings::read(platform());
    EXPECT_EQ(runner->calls.size(), 1);
    EXPECT_EQ(settings.error,
              L10n::text("Some system settings could not be read. Refresh to try again."));
    EXPECT_EQ(settings.source, L10n::text("Unavailable"));
    EXPECT_FALSE(settings.displayMinutes);
    EXPECT_FALSE(settings.lowPower);
    EXPECT_EQ(settings.displayAssertion, true);
    EXPECT_EQ(settings.screenSaverSeconds, 300);
}

TEST_F(SystemSettingsRead, AFailingSecondRunKeepsTheFirstRunsFields) {
    runner->results[QStringLiteral("-g batt")].exitStatus = 1;
    const SystemSettings settings = SystemSettings::read(platform());
    EXPECT_EQ(settings.error,
              L10n::text("Some system settings could not be read. Refresh to try again."));
    EXPECT_EQ(settings.source, L10n::text("Unavailable"));
    EXPECT_EQ(settings.displayMinutes, 10);
    EXPECT_EQ(settings.sleepPreventers, QStringLiteral("coreaudiod, Music"));
}

TEST_F(SystemSettingsRead, AssertionFlagsNeedADictionaryOfNumbers) {
    assertions->status = std::nullopt;
    SystemSettings settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_FALSE(settings.systemAssertion);

    assertions->status = QVariantMap{};
    settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_FALSE(settings.systemAssertion);

    assertions->status = QVariantMap{{QStringLiteral("PreventUserIdleDisplaySleep"), qint64(1)},
                                     {QStringLiteral("PreventUserIdleSystemSleep"), qint64(1)},
                                     {QStringLiteral("Note"), QStringLiteral("not a count")}};
    settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_FALSE(settings.systemAssertion);

    assertions->status = QVariantMap{{QStringLiteral("PreventUserIdleSystemSleep"), 0.5},
                                     {QStringLiteral("UserIsActive"), true}};
    settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_EQ(settings.systemAssertion, true);
    EXPECT_FALSE(settings.error);
}

TEST_F(SystemSettingsRead, ScreenSaverTimeMustBeANumber) {
    preferences->idleTime = QStringLiteral("300");
    EXPECT_FALSE(SystemSettings::read(platform()).screenSaverSeconds);
    preferences->idleTime = 600.9;
    EXPECT_EQ(SystemSettings::read(platform()).screenSaverSeconds, 600);
    preferences->idleTime = std::nullopt;
    EXPECT_FALSE(SystemSettings::read(platform()).screenSaverSeconds);
    preferences->throws = true;
    const SystemSettings settings = SystemSettings::read(platform());
    EXPECT_FALSE(settings.screenSaverSeconds);
    EXPECT_FALSE(settings.error);
}

// Against the simulated Mac's stand-in pmset, started as a real process.
class SystemSettingsOnSimulatedMac : public ::testing::Test {
protected:
    test::SimulatedMacHome home; // before Platform::system()

    void SetUp() override {
        SimulatedHostPreferences preferences(home.path());
        preferences.setValue(QStringLiteral("idleTime"), QVariant::fromValue(qint64(600)),
                             QStringLiteral("com.apple.screensaver"));
        ASSERT_TRUE(preferences.synchronize(QStringLiteral("com.apple.screensaver")));
    }

    void change(const std::function<void(sim::SimulatorState &)> &edit) const {
        auto state = sim::SimulatorState::load(home.path());
        edit(state);
        state.save(home.path());
    }
};

TEST_F(SystemSettingsOnSimulatedMac, ANormalReadFillsEveryField) {
    change([](sim::SimulatorState &state) {
        state.adapter->set(QStringLiteral("displaysleep"), 25);
        state.sleepPreventers = {QStringLiteral("coreaudiod"), QStringLiteral("Music")};
        state.lowPowerMode = true;
        state.assertions[QStringLiteral("PreventUserIdleSystemSleep")] = 1;
    });
    const SystemSettings settings = SystemSettings::read();
    EXPECT_FALSE(settings.error);
    EXPECT_EQ(settings.displayMinutes, 25);
    EXPECT_EQ(settings.sleepMinutes, 1);
    EXPECT_EQ(settings.lowPower, true);
    EXPECT_EQ(settings.sleepPreventers, QStringLiteral("coreaudiod, Music"));
    EXPECT_EQ(settings.source, L10n::text("Power adapter"));
    EXPECT_EQ(settings.displayAssertion, false);
    EXPECT_EQ(settings.systemAssertion, true);
    EXPECT_EQ(settings.screenSaverSeconds, 600);
    EXPECT_EQ(sim::invocations(home.path()),
              (QList<sim::Invocation>{{"pmset", {"-g", "live"}, false},
                                      {"pmset", {"-g", "batt"}, false}}));
}

TEST_F(SystemSettingsOnSimulatedMac, FollowsTheProvidingSource) {
    change([](sim::SimulatorState &state) {
        state.providing = sim::Source::battery;
        state.batteryStatus = {40, sim::BatteryState::discharging, 95};
    });
    SystemSettings settings = SystemSettings::read();
    EXPECT_EQ(settings.source, L10n::text("Battery"));
    EXPECT_EQ(settings.displayMinutes, 2);
    EXPECT_FALSE(settings.sleepPreventers);

    change([](sim::SimulatorState &state) {
        state.ups = sim::SimulatorState::factorySettings(sim::Source::ups);
        state.ups->set(QStringLiteral("sleep"), 0);
        state.providing = sim::Source::ups;
    });
    settings = SystemSettings::read();
    EXPECT_EQ(settings.source, "UPS");
    EXPECT_EQ(settings.sleepMinutes, 0);
}

TEST_F(SystemSettingsOnSimulatedMac, AMissingPmsetStillReadsScreenSaverAndAssertions) {
    Platform platform = Platform::system();
    platform.tools.pmset = home.path() + QStringLiteral("/no-such-pmset");
    const SystemSettings settings = SystemSettings::read(platform);
    EXPECT_EQ(settings.error,
              L10n::text("Some system settings could not be read. Refresh to try again."));
    EXPECT_EQ(settings.source, L10n::text("Unavailable"));
    EXPECT_FALSE(settings.displayMinutes);
    EXPECT_EQ(settings.screenSaverSeconds, 600);
    EXPECT_EQ(settings.displayAssertion, false);
    EXPECT_EQ(settings.systemAssertion, false);
}

TEST_F(SystemSettingsOnSimulatedMac, AFailingSecondRunKeepsTheFirstRunsFields) {
    change([](sim::SimulatorState &state) { state.failingQueries = {QStringLiteral("batt")}; });
    const SystemSettings settings = SystemSettings::read();
    EXPECT_EQ(settings.error,
              L10n::text("Some system settings could not be read. Refresh to try again."));
    EXPECT_EQ(settings.source, L10n::text("Unavailable"));
    EXPECT_EQ(settings.displayMinutes, 10);
    EXPECT_EQ(settings.lowPower, false);
}

TEST_F(SystemSettingsOnSimulatedMac, AFailingFirstRunIsTheOnlyRun) {
    change([](sim::SimulatorState &state) {
        state.failingQueries = {QStringLiteral("live")};
        state.assertionQueryFails = true;
    });
    const SystemSettings settings = SystemSettings::read();
    EXPECT_TRUE(settings.error);
    EXPECT_FALSE(settings.displayMinutes);
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_EQ(settings.screenSaverSeconds, 600);
    EXPECT_EQ(sim::invocations(home.path()).size(), 1);
}
