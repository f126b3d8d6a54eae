#include "Status/SystemSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/Platform.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "SimulatedMacHome.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace norvane;
using Values = QHash<QString, qint64>;

namespace {

class FakeAssertions final : public AssertionStatus {
public:
    std::optional<QVariantMap> status;
    [[nodiscard]] std::optional<QVariantMap> copyStatus() const override { return status; }
};

class FailingPreferences final : public HostPreferences {
public:
    bool synchronize(const QString &) override { throw PlatformError(QStringLiteral("failed")); }
    std::optional<QVariant> copyValue(const QString &, const QString &) override { return {}; }
    void setValue(const QString &, const std::optional<QVariant> &, const QString &) override {}
    void postNotification(const QString &) override {}
};

class NoPowerSources final : public PowerSources {
public:
    [[nodiscard]] std::optional<PowerSourceSnapshot> snapshot() const override {
        return std::nullopt;
    }
};

// Against the simulated Mac, whose stand-in pmset runs as a real process.
class SystemSettingsRead : public ::testing::Test {
protected:
    test::SimulatedMacHome home; // before Platform::system()

    void SetUp() override { home.storeScreenSaver(QVariant::fromValue(qint64(600))); }
};

const QString kReadError =
    QStringLiteral("Some system settings could not be read. Refresh to try again.");

} // namespace

TEST(SystemSettingsParse, ReadsTheFirstTwoWordsOfLinesWithASignedDecimalThatFits64Bits) {
    const QString numbers = QStringLiteral("plus +5\nminus -3\nzeros 007\n"
                                           "max 9223372036854775807\nmin -9223372036854775808\n");
    const struct {
        QString text;
        Values values;
    } rows[] = {
        {"\n\n   \nBattery Power:\n  lonely\n", {}},
        {"   displaysleep      10\n sleep 0 (sleep prevented by a, b)\n",
         {{"displaysleep", 10}, {"sleep", 0}}},
        {"sleep 1\nSleep 7\nsleep 5\n", {{"sleep", 5}, {"Sleep", 7}}},
        {numbers + "over 9223372036854775808\nunder -9223372036854775809\n"
                   "huge 123456789012345678901234567890\nunit 10m\ndecimal 1.5\nsign +\n"
                   "twosigns +-1\nhex 0x10\ninner 1,000\narabic \u0663\nfullwidth \uFF11\n",
         {{"plus", 5},
          {"minus", -3},
          {"zeros", 7},
          {"max", std::numeric_limits<qint64>::max()},
          {"min", std::numeric_limits<qint64>::min()}}},
        // Any Unicode whitespace separates words.
        {"tab\t4\nnbsp\u00A05\n\u3000ideographic\u2003\u20036\u2028\ncarriage 7\r\n",
         {{"tab", 4}, {"nbsp", 5}, {"ideographic", 6}, {"carriage", 7}}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SystemSettings::parse(row.text), row.values) << row.text.toStdString();
}

TEST(SystemSettingsReadLive, LowPowerSleepDisabledAndBothRemarks) {
    const struct {
        const char *output;
        std::optional<QString> sleepPreventers;
        std::optional<QString> displaySleepPreventers;
        std::optional<bool> lowPower;
        std::optional<bool> sleepDisabled;
    } rows[] = {
        // The real captures show the other cases.
        {"Currently in use:\n powermode 0\n", {}, {}, false},
        {"Currently in use:\n powermode 2\n", {}, {}, false},
        {"Currently in use:\n lowpowermode 0\n powermode 1\n", {}, {}, false},
        {"System-wide power settings:\n SleepDisabled\t\t1\nCurrently in use:\n", {}, {}, {}, true},
        {"System-wide power settings:\nCurrently in use:\n SleepDisabled 1\n", {}, {}, {}, false},
        {" displaysleep 5 (display sleep prevented by Keynote)\n", {}, "Keynote"},
        {" sleep 1 (Sleep prevented by x)\n"},
        // The first remark, as it is, up to the parenthesis that closes it on its line; names
        // keep their own brackets, and a line without a ")" has no remark.
        {" sleep 1 (sleep prevented by  powerd ,x)(sleep prevented by other)\n", " powerd ,x"},
        {" sleep 0 (sleep prevented by Google Chrome Helper (Renderer), coreaudiod)\n"
         " displaysleep 10 (display sleep prevented by Google Chrome Helper (GPU))\n",
         "Google Chrome Helper (Renderer), coreaudiod", "Google Chrome Helper (GPU)"},
        {" sleep 1 (sleep prevented by Odd (App, x)\n", "Odd (App, x"},
        {" sleep 1 (sleep prevented by coreaudiod, Music\n"
         " displaysleep 5 (display sleep prevented by Keynote)\n",
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

TEST(SystemSettingsReadBattery, TheFirstKnownProviderNamesTheSource) {
    for (const auto &[output, source] : QList<std::pair<const char *, QString>>{
             {"Now drawing from 'AC Power'\nlast seen on 'Battery Power'\n",
              L10n::text("Power adapter")},
             {"Now drawing from 'UPS Power'\n", "UPS"},
             {"Now drawing from 'Solar Power'\n", "kept"}}) {
        SystemSettings settings;
        settings.source = QStringLiteral("kept");
        SystemSettings::readBattery(settings, QString::fromUtf8(output));
        EXPECT_EQ(settings.source, source) << output;
    }
}

TEST(SystemSettingsDuration, NamesUnavailableNeverAndMinutes) {
    EXPECT_EQ(SystemSettings::duration(std::nullopt), L10n::text("Unavailable"));
    EXPECT_EQ(SystemSettings::duration(-1), L10n::text("Unavailable"));
    EXPECT_EQ(SystemSettings::duration(0), L10n::text("Never (system setting)"));
    EXPECT_EQ(SystemSettings::duration(15), L10n::text({"After {0} min of inactivity", {"15"}}));
}

TEST_F(SystemSettingsRead, ANormalReadFillsEveryField) {
    home.change([](sim::SimulatorState &state) {
        state.model = sim::MachineModel::intelLaptop; // names Low Power Mode "lowpowermode"
        state.providing = sim::Source::battery;
        state.sleepDisabled = true;
        state.battery->set(QStringLiteral("displaysleep"), 25);
        state.sleepPreventers = {QStringLiteral("coreaudiod")};
        state.assertionHolders = {{41, "Music", "PreventUserIdleSystemSleep", "Playing", 0, {}},
                                  {42, "Keynote", "PreventUserIdleDisplaySleep", "Show", 0, {}}};
        state.lowPowerMode = true;
    });
    const QDateTime before = QDateTime::currentDateTime();
    const SystemSettings settings = SystemSettings::read();
    EXPECT_LE(before, settings.readAt);
    EXPECT_LE(settings.readAt, QDateTime::currentDateTime());
    EXPECT_FALSE(settings.error);
    EXPECT_EQ(settings.displayMinutes, 25);
    EXPECT_EQ(settings.sleepMinutes, 1);
    EXPECT_EQ(settings.lowPower, true);
    EXPECT_EQ(settings.sleepDisabled, true);
    EXPECT_EQ(settings.sleepPreventers, QStringLiteral("coreaudiod, Music"));
    EXPECT_EQ(settings.displaySleepPreventers, QStringLiteral("Keynote"));
    EXPECT_EQ(settings.source, L10n::text("Battery"));
    EXPECT_EQ(settings.displayAssertion, true);
    EXPECT_EQ(settings.systemAssertion, true);
    EXPECT_EQ(settings.screenSaverSeconds, 600);
    EXPECT_EQ(sim::invocations(home.path()),
              (QList<sim::Invocation>{{"pmset", {"-g", "live"}, false},
                                      {"pmset", {"-g", "batt"}, false}}));
}

TEST_F(SystemSettingsRead, AFailingFirstRunIsTheOnlyRunAndAFailingSecondKeepsTheFirstsFields) {
    home.change([](sim::SimulatorState &state) {
        state.failingQueries = {QStringLiteral("live")};
        state.assertionQueryFails = true;
    });
    SystemSettings settings = SystemSettings::read();
    EXPECT_EQ(settings.error, L10n::text(kReadError));
    EXPECT_FALSE(settings.displayMinutes);
    EXPECT_FALSE(settings.displayAssertion);
    EXPECT_EQ(settings.screenSaverSeconds, 600);
    EXPECT_EQ(sim::invocations(home.path()).size(), 1);
    Platform withoutPmset = Platform::system();
    withoutPmset.tools.pmset = home.path() + QStringLiteral("/no-such-pmset");
    EXPECT_EQ(SystemSettings::read(withoutPmset).error, L10n::text(kReadError));

    // Without pmset -g batt the power sources, which the quick panel reads, name the source;
    // only without them is the source unavailable, and that an error.
    home.change([](sim::SimulatorState &state) {
        state.failingQueries = {"batt"};
        state.providing = sim::Source::battery;
    });
    settings = SystemSettings::read();
    EXPECT_EQ(settings.error, std::nullopt);
    EXPECT_EQ(settings.source, L10n::text("Battery"));
    EXPECT_EQ(settings.displayMinutes, 2);
    EXPECT_EQ(settings.lowPower, false);
    Platform withoutSources = Platform::system();
    withoutSources.powerSources = std::make_shared<NoPowerSources>();
    settings = SystemSettings::read(withoutSources);
    EXPECT_EQ(settings.error, L10n::text(kReadError));
    EXPECT_EQ(settings.source, L10n::text("Unavailable"));
    EXPECT_EQ(settings.displayMinutes, 2);
}

// Preferences that fail leave the screen-saver time empty; that is no error either.
TEST_F(SystemSettingsRead, AssertionFlagsNeedADictionaryOfNumbers) {
    const QString display = QStringLiteral("PreventUserIdleDisplaySleep");
    const QString system = QStringLiteral("PreventUserIdleSystemSleep");
    const struct {
        std::optional<QVariantMap> status;
        std::optional<bool> display;
        std::optional<bool> system;
    } rows[] = {
        {std::nullopt},
        {QVariantMap{}},
        {QVariantMap{{display, 1}, {system, 1}, {"Note", "not a count"}}},
        {QVariantMap{{display, qint64(2)}, {system, qint64(0)}}, true, false},
        {QVariantMap{{system, 0.5}, {"UserIsActive", true}}, {}, true},
    };
    for (const auto &row : rows) {
        Platform platform = Platform::system();
        const auto assertions = std::make_shared<FakeAssertions>();
        assertions->status = row.status;
        platform.assertions = assertions;
        platform.preferences = std::make_shared<FailingPreferences>();
        const SystemSettings settings = SystemSettings::read(platform);
        EXPECT_FALSE(settings.screenSaverSeconds);
        EXPECT_EQ(settings.displayAssertion, row.display);
        EXPECT_EQ(settings.systemAssertion, row.system);
        EXPECT_FALSE(settings.error);
    }
}

TEST_F(SystemSettingsRead, ScreenSaverTimeMustBeANumber) {
    const std::pair<std::optional<QVariant>, std::optional<qint64>> rows[] = {
        {QVariant(QStringLiteral("600")), std::nullopt},
        {600.9, 600},
        {std::nullopt, std::nullopt}};
    for (const auto &[stored, seconds] : rows) {
        home.storeScreenSaver(stored);
        EXPECT_EQ(SystemSettings::read().screenSaverSeconds, seconds);
    }
}
