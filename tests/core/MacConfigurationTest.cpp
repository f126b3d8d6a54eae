// The configuration values: what a profile asks for, the privileged command with its checks,
// the pmset output reader and the backup's JSON form.
#include "Configuration/MacConfiguration.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace norvane;
using test::errorTextFrom;
using Sources = QList<PowerSourceConfiguration>;

namespace {

const MacConfiguration kLaptop{{{"-b", 10, 20}, {"-c", 0, 0}}, std::nullopt};

QString commandError(const Sources &sources) {
    return errorTextFrom([&] { (void)MacConfiguration{sources, {}}.privilegedCommand(); });
}

QString parseError(const char *output) {
    return errorTextFrom([&] { (void)MacConfiguration::parsePowerSources(output); });
}

} // namespace

TEST(Applying, KeepsTheSourcesAndSetsTheProfilesValues) {
    EXPECT_EQ(kLaptop.applying(Profile::normal()),
              (MacConfiguration{{{"-b", 5, 15}, {"-c", 5, 15}}, 300}));
    EXPECT_EQ(MacConfiguration{}.applying(Profile::download()), (MacConfiguration{{}, 300}));
}

TEST(PrivilegedCommand, BuildsOneRunPerSourceJoinedWithAndFromCheckedValuesOnly) {
    EXPECT_EQ(
        kLaptop.privilegedCommand(),
        "/usr/bin/pmset -b displaysleep 10 sleep 20 && /usr/bin/pmset -c displaysleep 0 sleep 0");
    EXPECT_EQ((MacConfiguration{{{"-u", 1440, 1}}, {}}.privilegedCommand()),
              "/usr/bin/pmset -u displaysleep 1440 sleep 1");

    // Hostile or out-of-range values are refused before anything is built.
    const QString invalid = L10n::text("The power settings are invalid.");
    EXPECT_EQ(commandError({}), invalid);
    EXPECT_EQ(commandError({{"-b", 1, 1}, {"-b", 2, 2}}), invalid);
    EXPECT_EQ(commandError({{"-x", 1, 1}, {"-x", 2, 2}}), invalid); // before any range check
    for (const PowerSourceConfiguration &bad : Sources{{"-b", 1441, 0},
                                                       {"-b", -1, 0},
                                                       {"-c", 0, 1441},
                                                       {"-c", 0, -5},
                                                       {"-x", 1, 1},
                                                       {"-b; rm -rf /", 1, 1},
                                                       {"", 1, 1},
                                                       {"-B", 1, 1}})
        EXPECT_EQ(commandError({{"-u", 1, 1}, bad}),
                  L10n::text("Settings are outside the supported range. No command was run."))
            << bad.flag.toStdString() << " " << bad.display << " " << bad.sleep;
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
                           " displaysleep 0\r\n"
                           " sleep 3\r\n"
                           "Mystery Power:\n displaysleep 77\n sleep 77\n"
                           "UPS Power:\n displaysleep 4\n"
                           "UPS Power:\n displaysleep 5\n sleep 6\n";
    // Unknown sections are ignored, and a repeated header starts afresh.
    EXPECT_EQ(MacConfiguration::parsePowerSources(output),
              (Sources{{"-b", 0, 3}, {"-c", 10, 1}, {"-u", 5, 6}}));
}

TEST(ParsePowerSources, IncompleteOrMissingSectionsFail) {
    const QString incomplete =
        L10n::text("Could not read all power settings. No changes were made.");
    EXPECT_EQ(parseError("Battery Power:\nAC Power:\n displaysleep 1\n sleep 1\n"), incomplete);
    EXPECT_EQ(parseError("Battery Power:\n displaysleep ten\n sleep 1\n"), incomplete);
    EXPECT_EQ(parseError("AC Power:\n displaysleep -1\n sleep 1\n"), incomplete);
    for (const char *output :
         {"", "battery power:\n displaysleep 1\n sleep 1\n", " displaysleep 1\n sleep 1\n"})
        EXPECT_EQ(parseError(output), L10n::text("No usable system power settings were found."));
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

    for (const char *text :
         {R"({"sources":[{"display":1,"sleep":2}]})",
          R"({"sources":[{"flag":"-b","display":"1","sleep":2}]})", R"({"screenSaverSeconds":300})",
          R"({"sources":[],"screenSaverSeconds":"300"})", "not json"})
        EXPECT_THROW((void)MacConfiguration::fromJson(json::parseObject(text)), PlatformError)
            << text;
    EXPECT_EQ(MacConfiguration::fromJson(json::parseObject(R"({"sources":[],"extra":true})")),
              MacConfiguration{});
}
