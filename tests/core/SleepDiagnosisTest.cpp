// Run with the English catalogue (LANGUAGE=en, see CMakeLists.txt): the texts are what a person
// reads.
#include "Status/SleepDiagnosis.h"

#include "Localization/L10n.h"

#include <gtest/gtest.h>

using namespace norvane;

namespace {

SystemSettings live(std::optional<qint64> display, std::optional<qint64> sleep) {
    SystemSettings settings;
    settings.displayMinutes = display;
    settings.sleepMinutes = sleep;
    return settings;
}

PowerAssertion holder(const char *process, const char *type, const char *name) {
    return {42, process, type, QStringLiteral("00:01:00"), name, {}};
}

} // namespace

TEST(SleepDiagnosis, SaysWhenAndWhatKeepsTheDisplayOnAndTheMacAwake) {
    ASSERT_EQ(L10n::currentLanguage(), "en");
    const PowerAssertions twoHolders{
        {},
        {holder("caffeinate", "PreventUserIdleSystemSleep", "caffeinate command-line tool"),
         holder("Keynote", "PreventUserIdleDisplaySleep", "Playing slideshow"),
         holder("WindowServer", "UserIsActive", "tickle")}};
    SystemSettings disabled = live(10, 1);
    disabled.sleepDisabled = true;
    disabled.lowPower = true;
    SystemSettings remarks;
    SystemSettings::readLive(
        remarks,
        QStringLiteral(" lowpowermode 0\n"
                       " sleep 0 (sleep prevented by Google Chrome Helper (Renderer), sharingd)\n"
                       " displaysleep 5 (display sleep prevented by TargetBridgeReceiver)\n"));
    const std::tuple<SystemSettings, std::optional<PowerAssertions>, QString> rows[] = {
        {live(10, 30), PowerAssertions{},
         "The display turns off after 10 min of inactivity.|"
         "The Mac sleeps after 30 min of inactivity.|"
         "This Mac does not report Low Power Mode."},
        {live(10, 30), twoHolders,
         "The display would turn off after 10 min of inactivity, but something keeps it on.|"
         "Kept on by:|  Keynote: Playing slideshow|"
         "The Mac would sleep after 30 min of inactivity, but something keeps it awake.|"
         "Kept awake by:|  caffeinate: caffeinate command-line tool|  Keynote: Playing slideshow|"
         "This Mac does not report Low Power Mode."},
        {disabled, PowerAssertions{},
         "The display turns off after 10 min of inactivity.|"
         "The Mac never sleeps on idle: sleep is disabled system-wide (SleepDisabled).|"
         "Low Power Mode is on."},
        {live(0, {}), std::nullopt,
         "The display never turns off on its own: Turn Display Off is set to Never.|"
         "Pellor could not read when the Mac sleeps.|"
         "This Mac does not report Low Power Mode."},
    };
    for (const auto &[settings, assertions, expected] : rows)
        EXPECT_EQ(SleepDiagnosis::make(settings, assertions).lines().join(u'|'), expected);
    // Without the assertions, the holders are the names in pmset's remarks.
    EXPECT_EQ(
        SleepDiagnosis::make(remarks, std::nullopt),
        (SleepDiagnosis{
            "The display would turn off after 5 min of inactivity, but something keeps it on.",
            {{"TargetBridgeReceiver", {}}},
            "The Mac never sleeps on idle: System Sleep is set to Never.",
            {{"Google Chrome Helper (Renderer)", {}},
             {"sharingd", {}},
             {"TargetBridgeReceiver", {}}},
            "Low Power Mode is off."}));
}

TEST(SleepDiagnosis, TheReportHasEverythingAForumAsksFor) {
    SystemSettings settings = live(10, 1);
    settings.readAt = QDateTime(QDate(2026, 12, 6), QTime(19, 30), Qt::UTC);
    settings.source = QStringLiteral("Power adapter");
    settings.sleepDisabled = true;
    settings.lowPower = false;
    settings.sleepPreventers = QStringLiteral("caffeinate");
    settings.screenSaverSeconds = 300;
    PowerAssertion caffeinate =
        holder("caffeinate", "PreventUserIdleSystemSleep", "caffeinate command-line tool");
    caffeinate.details = {QStringLiteral("Details: caffeinate asserting for 1600 secs")};
    const PowerAssertions assertions{
        {{"PreventUserIdleSystemSleep", 1}, {"PreventUserIdleDisplaySleep", 0}}, {caffeinate}};
    EXPECT_EQ(sleepReport(settings, assertions, {QStringLiteral("Focus"), QStringLiteral("24:59")})
                  .toStdString(),
              (QStringLiteral("Pellor %1: Why isn't my Mac sleeping?\n").arg(pellorVersion()) +
               "Read at: 2026-12-06T19:30:00Z\n"
               "Active profile: Focus, 24:59 left\n"
               "\n"
               "pmset -g batt\n"
               "  Power source: Power adapter\n"
               "pmset -g live\n"
               "  Turn Display Off: After 10 min of inactivity\n"
               "  System Sleep: After 1 min of inactivity\n"
               "  Sleep disabled system-wide: Yes\n"
               "  Low Power Mode: No\n"
               "  Sleep prevented by: caffeinate\n"
               "com.apple.screensaver idleTime\n"
               "  Screen Saver: After 5 min of inactivity\n"
               "pmset -g assertions\n"
               "  PreventUserIdleSystemSleep 1, PreventUserIdleDisplaySleep 0\n"
               "  caffeinate (pid 42): PreventUserIdleSystemSleep \u201Ccaffeinate command-line "
               "tool\u201D 00:01:00\n"
               "    Details: caffeinate asserting for 1600 secs\n"
               "\n"
               "Outcome\n"
               "  The display turns off after 10 min of inactivity.\n"
               "  The Mac never sleeps on idle: sleep is disabled system-wide (SleepDisabled).\n"
               "  Kept awake by:\n"
               "    caffeinate: caffeinate command-line tool\n"
               "  Low Power Mode is off.\n")
                  .toStdString());
    settings.error = QStringLiteral("Some system settings could not be read.");
    const QString unread = sleepReport(settings, std::nullopt, {});
    EXPECT_TRUE(unread.contains(
        "Active profile: Using system settings\nSome system settings could not be read.\n"));
    EXPECT_TRUE(unread.contains("pmset -g assertions\n  Not read\n"));
    EXPECT_TRUE(unread.contains("  Kept awake by:\n    caffeinate\n"));
}

TEST(SleepDiagnosis, TheReportPrintsHostileNamesAsTheyAre) {
    const struct {
        PowerAssertion holder;
        QString systemWideType;
        QString sessionName;
        QStringList expected; // lines of the report
    } rows[] = {
        {{7, "Download 100%1", "NoIdleSleepAssertion", "00:00:09", "%3 left", {"Details: %2"}},
         "PreventUserIdleSystemSleep%1",
         "%1{1}",
         {"  Download 100%1 (pid 7): NoIdleSleepAssertion \u201C%3 left\u201D 00:00:09",
          "    Details: %2", "  PreventUserIdleSystemSleep%1 1", "Active profile: %1{1}, 9:59 left",
          "    Download 100%1: %3 left"}},
        {{88,
          "Google Chrome Helper (Renderer)",
          "PreventUserIdleDisplaySleep",
          {},
          "{0} video",
          {}},
         "{0}",
         "Focus",
         {"  Google Chrome Helper (Renderer) (pid 88): PreventUserIdleDisplaySleep \u201C{0} "
          "video\u201D",
          "  {0} 1", "    Google Chrome Helper (Renderer): {0} video"}},
    };
    for (const auto &row : rows) {
        const PowerAssertions assertions{{{row.systemWideType, 1}}, {row.holder}};
        const QStringList report =
            sleepReport(live(10, 30), assertions, {row.sessionName, QStringLiteral("9:59")})
                .split(u'\n');
        for (const QString &line : row.expected)
            EXPECT_TRUE(report.contains(line)) << line.toStdString();
    }
}
