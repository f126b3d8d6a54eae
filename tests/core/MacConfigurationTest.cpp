// The configuration values: what a profile asks for, the privileged command with its checks,
// the pmset output reader and the backup's JSON form.
#include "Configuration/MacConfiguration.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "Platform/JsonDecoding.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace norvane;
using test::errorTextFrom;

namespace {

const MacConfiguration kLaptop{{{"-b", 10, 20}, {"-c", 0, 0}}, std::nullopt};

QString invalidMessage() {
    return L10n::text("The power settings are invalid.");
}
QString rangeMessage() {
    return L10n::text("Settings are outside the supported range. No command was run.");
}
QString incompleteMessage() {
    return L10n::text("Could not read all power settings. No changes were made.");
}
QString noneMessage() {
    return L10n::text("No usable system power settings were found.");
}

QString commandOf(const QList<PowerSourceConfiguration> &sources) {
    return MacConfiguration{sources, std::nullopt}.privilegedCommand();
}

} // namespace

TEST(Applying, KeepsTheSourcesAndSetsTheProfilesValues) {
    const MacConfiguration target = kLaptop.applying(Profile::normal());
    EXPECT_EQ(target, (MacConfiguration{{{"-b", 5, 15}, {"-c", 5, 15}}, 300}));

    const MacConfiguration none = MacConfiguration{}.applying(Profile::download());
    EXPECT_TRUE(none.sources.isEmpty());
    EXPECT_EQ(none.screenSaverSeconds, 300);
    EXPECT_EQ(errorTextFrom([&] { (void)none.privilegedCommand(); }), invalidMessage());
}

TEST(Equality, IsExactAboutOrderAndEmptyScreenSaver) {
    const MacConfiguration reordered{{{"-c", 0, 0}, {"-b", 10, 20}}, std::nullopt};
    EXPECT_NE(kLaptop, reordered);
    MacConfiguration zero = kLaptop;
    zero.screenSaverSeconds = 0;
    EXPECT_NE(kLaptop, zero);
    EXPECT_EQ(kLaptop, (MacConfiguration{{{"-b", 10, 20}, {"-c", 0, 0}}, std::nullopt}));
}

TEST(PrivilegedCommand, BuildsOneRunPerSourceJoinedWithAnd) {
    EXPECT_EQ(
        commandOf({{"-b", 10, 20}, {"-c", 0, 0}}),
        "/usr/bin/pmset -b displaysleep 10 sleep 20 && /usr/bin/pmset -c displaysleep 0 sleep 0");
    EXPECT_EQ(commandOf({{"-u", 1440, 1}}), "/usr/bin/pmset -u displaysleep 1440 sleep 1");
}

TEST(PrivilegedCommand, RejectsHostileOrOutOfRangeValuesBeforeBuildingAnything) {
    EXPECT_EQ(errorTextFrom([] {
                  (void)commandOf({{"-b", 1, 1}, {"-b", 2, 2}});
              }),
              invalidMessage());
    EXPECT_EQ(errorTextFrom([] { (void)commandOf({}); }), invalidMessage());
    for (const PowerSourceConfiguration &bad :
         QList<PowerSourceConfiguration>{{"-b", 1441, 0},
                                         {"-b", -1, 0},
                                         {"-c", 0, 1441},
                                         {"-c", 0, -5},
                                         {"-x", 1, 1},
                                         {"-b; rm -rf /", 1, 1},
                                         {"", 1, 1},
                                         {"-B", 1, 1}})
        EXPECT_EQ(errorTextFrom([&] {
                      (void)commandOf({{"-u", 1, 1}, bad});
                  }),
                  rangeMessage())
            << bad.flag.toStdString() << " " << bad.display << " " << bad.sleep;
    // Duplicate flags are found before any range check.
    EXPECT_EQ(errorTextFrom([] {
                  (void)commandOf({{"-x", 1, 1}, {"-x", 2, 2}});
              }),
              invalidMessage());
}

TEST(ParsePowerSources, ReadsSectionsInFixedOrderWhateverTheOutputOrder) {
    const QString output = "System-wide power settings:\n"
                           " SleepDisabled\t\t0\n"
                           "Currently in use:\n"
                           " sleep 99\n"
                           "AC Power:\n"
                           " Sleep On Power Button 1\n"
                           " hibernatefile         /var/vm/sleepimage\n"
                           " displaysleep         10\n"
                           " sleep                1 (sleep prevented by coreaudiod, Music)\n"
                           "  Battery Power:  \r\n"
                           " displaysleep 2\r\n"
                           " sleep 3\r\n";
    EXPECT_EQ(MacConfiguration::parsePowerSources(output),
              (QList<PowerSourceConfiguration>{{"-b", 2, 3}, {"-c", 10, 1}}));
    EXPECT_EQ(MacConfiguration::parsePowerSources("AC Power:\n displaysleep 0\n sleep 0\n"),
              (QList<PowerSourceConfiguration>{{"-c", 0, 0}}));
}

TEST(ParsePowerSources, UnknownSectionsAreIgnoredAndRepeatedHeadersStartAfresh) {
    const QString output = "Battery Power:\n displaysleep 2\n sleep 3\n"
                           "Mystery Power:\n displaysleep 77\n sleep 77\n"
                           "UPS Power:\n displaysleep 4\n"
                           "UPS Power:\n displaysleep 5\n sleep 6\n";
    EXPECT_EQ(MacConfiguration::parsePowerSources(output),
              (QList<PowerSourceConfiguration>{{"-b", 2, 3}, {"-u", 5, 6}}));
}

TEST(ParsePowerSources, IncompleteOrMissingSectionsFail) {
    EXPECT_EQ(errorTextFrom([] {
                  (void)MacConfiguration::parsePowerSources(
                      "Battery Power:\nAC Power:\n displaysleep 1\n sleep 1\n");
              }),
              incompleteMessage());
    EXPECT_EQ(errorTextFrom([] {
                  (void)MacConfiguration::parsePowerSources(
                      "Battery Power:\n displaysleep ten\n sleep 1\n");
              }),
              incompleteMessage());
    EXPECT_EQ(errorTextFrom([] {
                  (void)MacConfiguration::parsePowerSources(
                      "AC Power:\n displaysleep -1\n sleep 1\n");
              }),
              incompleteMessage());
    EXPECT_EQ(errorTextFrom([] { (void)MacConfiguration::parsePowerSources(""); }), noneMessage());
    EXPECT_EQ(errorTextFrom([] {
                  (void)MacConfiguration::parsePowerSources(
                      "battery power:\n displaysleep 1\n sleep 1\n");
              }),
              noneMessage());
    EXPECT_EQ(errorTextFrom(
                  [] { (void)MacConfiguration::parsePowerSources(" displaysleep 1\n sleep 1\n"); }),
              noneMessage());
}

TEST(BackupJson, LeavesOutAnEmptyScreenSaverAndDecodesStrictly) {
    EXPECT_EQ(
        json::encodePretty(kLaptop.toJson()),
        QJsonDocument::fromJson(
            R"({"sources":[{"display":10,"flag":"-b","sleep":20},{"display":0,"flag":"-c","sleep":0}]})")
            .toJson(QJsonDocument::Indented));
    MacConfiguration withSaver = kLaptop;
    withSaver.screenSaverSeconds = 300;
    const QByteArray encoded = json::encodePretty(withSaver.toJson());
    EXPECT_LT(encoded.indexOf("screenSaverSeconds"), encoded.indexOf("sources"));
    EXPECT_EQ(MacConfiguration::fromJson(json::parseObject(encoded)), withSaver);
    EXPECT_EQ(MacConfiguration::fromJson(json::parseObject(json::encodePretty(kLaptop.toJson()))),
              kLaptop);

    const auto decodeFails = [](const char *text) {
        try {
            (void)MacConfiguration::fromJson(json::parseObject(text));
        } catch (const PlatformError &) {
            return true;
        }
        return false;
    };
    EXPECT_TRUE(decodeFails(R"({"sources":[{"display":1,"sleep":2}]})"));
    EXPECT_TRUE(decodeFails(R"({"sources":[{"flag":"-b","display":"1","sleep":2}]})"));
    EXPECT_TRUE(decodeFails(R"({"screenSaverSeconds":300})"));
    EXPECT_TRUE(decodeFails(R"({"sources":[],"screenSaverSeconds":"300"})"));
    EXPECT_TRUE(decodeFails("not json"));
    EXPECT_FALSE(decodeFails(R"({"sources":[],"extra":true})"));
}
