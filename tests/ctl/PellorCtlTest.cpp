// pellorctl end to end, each command in its own process against a simulated Mac of its own;
// and its foreground session in this process, with the clock in the test's hands.
#include "CtlProcess.h"
#include "LocalSession.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/Profile.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionRecord.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"
#include "Status/SystemSettings.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// The adapter's display and system sleep on the simulated Mac.
std::pair<qint64, qint64> adapterSleep(const QString &home) {
    const sim::SimulatorState state = sim::SimulatorState::load(home);
    return {state.adapter->number(QStringLiteral("displaysleep")).value_or(-1),
            state.adapter->number(QStringLiteral("sleep")).value_or(-1)};
}

QJsonObject jsonOf(const QString &text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

constexpr std::pair<qint64, qint64> factory{10, 1}; // the simulated laptop's adapter
constexpr std::pair<qint64, qint64> awake{0, 0};    // Vibe, Focus

} // namespace

TEST(PellorCtl, BadInputGetsAMessageAndACodeAndTouchesNothing) {
    const std::tuple<QStringList, int, const char *> cases[] = {
        {{}, 2, "No command given."},
        {{"reboot"}, 2, "Unknown command: reboot"},
        {{"list", "--colour"}, 2, "Unknown option: --colour"},
        {{"list", "extra"}, 2, "Unexpected argument: extra"},
        {{"apply"}, 2, "Name the profile to apply."},
        {{"apply", "focus", "--for", "0"}, 2, "from 1 to 1440, not \"0\""},
        {{"apply", "focus", "--for", "1441"}, 2, "not \"1441\""},
        {{"apply", "focus", "--for", "99999999999999999999"}, 2, "not \"99999999999999999999\""},
        {{"apply", "focus", "--for"}, 2, "--for"},
        {{"apply", "focus", "--for", "5", "--no-return"}, 2, "either --for or --no-return"},
        {{"apply", "focus", "vibe"}, 2, "Unexpected argument: vibe"},
        {{"apply", "nothing like it"}, 4, "No profile is called \"nothing like it\""},
        {{"apply", QString(4096, u'x')}, 4, "No profile is called"},
        {{"apply", "focus\n\x1b[2J"}, 4, "No profile is called"},
    };
    CtlSandbox sandbox;
    for (const auto &[arguments, exitCode, message] : cases) {
        SCOPED_TRACE(arguments.join(u' ').left(60).toStdString());
        const CtlSandbox::Run run = sandbox.run(arguments);
        EXPECT_EQ(run.exitCode, exitCode);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(message))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_TRUE(sim::invocations(sandbox.simHome()).isEmpty()) << "no pmset run, let alone a write";
    EXPECT_FALSE(QFile::exists(sandbox.profilesFile()));
}

TEST(PellorCtl, EachCommandPrintsItsResult) {
    CtlSandbox sandbox;
    EXPECT_TRUE(sandbox.run({"--help"}).out.startsWith("Usage: pellorctl [options] COMMAND\n"));
    EXPECT_EQ(sandbox.run({"--version"}).out, "pellorctl 1.2\n");
    EXPECT_TRUE(sandbox.run({"list"}).out.contains("Return to Normal after 25 min\n"));

    const QJsonObject listed = jsonOf(sandbox.run({"list", "--json"}).out);
    EXPECT_EQ(listed["profiles"][2]["returnMinutes"], 25);
    EXPECT_EQ(listed["application"]["running"], false);
    const QJsonObject reported = jsonOf(sandbox.run({"status", "--json"}).out);
    EXPECT_EQ(reported["settings"]["displaySleepMinutes"], 10);
    // The status runs the processes of SystemSettings::read() and no more.
    const qsizetype statusRuns = sim::invocations(sandbox.simHome()).size();
    qputenv("NORVANE_SIM_HOME", sandbox.simHome().toUtf8());
    (void)SystemSettings::read();
    qunsetenv("NORVANE_SIM_HOME");
    EXPECT_EQ(statusRuns, sim::invocations(sandbox.simHome()).size() - statusRuns);

    // Titles in any letter case; --no-return keeps the profile with no process left behind.
    const CtlSandbox::Run applied = sandbox.run({"apply", "VIBE"});
    EXPECT_EQ(applied.out, "Saved and verified macOS settings for Vibe.\n")
        << applied.err.toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), awake);
    const CtlSandbox::Run restored = sandbox.run({"restore"});
    EXPECT_EQ(restored.out, "Restored the original settings saved before the first change.\n")
        << restored.err.toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), factory);
    EXPECT_TRUE(sandbox.run({"status"}).out.contains("System Sleep: After 1 min of inactivity\n"));
}

TEST(PellorCtl, TitlesInTheCurrentLanguageAndAmbiguousOnes) {
    CtlSandbox sandbox;
    sandbox.setLanguage("ja", "ja_JP.UTF-8");
    // A custom profile named like the Japanese title of Vibe.
    ProfileLibrary library(std::make_shared<FileProfileStorage>(sandbox.profilesFile()));
    library.save(Profile("mine", "ムード", ProfileIcon::leaf, 3, 4, 0, 0));

    EXPECT_EQ(sandbox.run({"apply", "集中", "--no-return"}).exitCode, 0);
    EXPECT_EQ(adapterSleep(sandbox.simHome()), awake);

    const CtlSandbox::Run ambiguous = sandbox.run({"apply", "ムード"});
    EXPECT_EQ(ambiguous.exitCode, 4);
    EXPECT_TRUE(ambiguous.err.contains("vibe") && ambiguous.err.contains("mine"))
        << ambiguous.err.toStdString();
    EXPECT_EQ(sandbox.run({"apply", "mine"}).exitCode, 0);
    EXPECT_EQ(adapterSleep(sandbox.simHome()), (std::pair<qint64, qint64>{3, 4}));
}

// A cancel ends in its own code and leaves the Mac as it was (any other failure ends in 1, as the
// unusable backup's restore below does).
TEST(PellorCtl, ACancelledAuthorizationEndsInItsCodeAndLeavesTheMacAsItWas) {
    CtlSandbox sandbox;
    sim::SimulatorState cancelling = sim::SimulatorState::laptop();
    cancelling.authorization = sim::Authorization::cancel;
    cancelling.save(sandbox.simHome());
    const CtlSandbox::Run run = sandbox.run({"apply", "vibe"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("Administrator authorization was cancelled."))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), factory);
}

// As in the window, a damaged profiles file gives the factory presets, said on standard error,
// and is never touched; a missing pmset stops before any change.
TEST(PellorCtl, ADamagedProfilesFileGivesThePresetsAndAMissingPmsetStopsBeforeAnyChange) {
    CtlSandbox sandbox;
    const QByteArray damaged = R"({"version": 1, "profiles": [)";
    writeBytes(sandbox.profilesFile(), damaged);
    for (const QStringList &arguments : {QStringList{"list"}, QStringList{"apply", "vibe"}}) {
        const CtlSandbox::Run run = sandbox.run(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("Could not read saved profiles. Showing factory presets"))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(sandbox.profilesFile() + "”. To keep it aside"));
        EXPECT_TRUE(run.out.contains("Vibe")) << run.out.toStdString();
    }
    EXPECT_EQ(readBytes(sandbox.profilesFile()), damaged);
    constexpr std::pair<qint64, qint64> vibe{0, 0};
    EXPECT_EQ(adapterSleep(sandbox.simHome()), vibe)
        << "Vibe, the preset, keeps the display on and the Mac awake";

    // The way out keeps the damaged file beside the fresh start.
    const CtlSandbox::Run setAside = sandbox.run({"set-aside", "profiles"});
    EXPECT_EQ(setAside.exitCode, 0) << setAside.err.toStdString();
    const QString aside = sandbox.dataFile("profiles-damaged-" +
                                           QDate::currentDate().toString(Qt::ISODate) + ".json");
    EXPECT_TRUE(setAside.out.contains(aside)) << setAside.out.toStdString();
    EXPECT_EQ(readBytes(aside), damaged);
    EXPECT_EQ(sandbox.run({"list"}).exitCode, 0);
    EXPECT_EQ(sandbox.run({"set-aside", "profiles"}).exitCode, 1) << "a readable file stays";

    // A copy of pellorctl in a folder without the stand-in pmset.
    QTemporaryDir alone;
    const QString copy = alone.filePath("pellorctl");
    ASSERT_TRUE(QFile::copy(NORVANE_BIN_DIR "/pellorctl", copy));
    QFile::remove(sandbox.profilesFile());
    for (const QStringList &arguments : {QStringList{"status"}, QStringList{"apply", "vibe"}}) {
        const CtlSandbox::Run run = sandbox.run(arguments, copy);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.startsWith("pmset was not found at " + alone.path()))
            << run.err.toStdString();
    }
}

TEST(PellorCtl, AnUnusableBackupIsRefusedAndCanBeSetAside) {
    // One its checks refuse (ConfigurationTransactionTest has each of their reasons) and one
    // that is not JSON.
    const std::pair<QByteArray, const char *> backups[] = {
        {R"({"sources":[{"flag":"-c","display":1,"sleep":1},{"flag":"-c","display":2,"sleep":2}]})",
         "The power settings are invalid."},
        {"\x01 not json", "isn’t valid JSON"},
    };
    for (const auto &[bytes, message] : backups) {
        CtlSandbox sandbox;
        const QString backup = sandbox.dataFile("original-settings.json");
        writeBytes(backup, bytes);
        const CtlSandbox::Run restore = sandbox.run({"restore"});
        EXPECT_EQ(restore.exitCode, 1);
        EXPECT_TRUE(restore.err.contains(message)) << restore.err.toStdString();
        EXPECT_TRUE(restore.err.contains(backup));
        EXPECT_TRUE(restore.err.contains("pellorctl set-aside backup"));
        EXPECT_TRUE(sim::invocations(sandbox.simHome()).isEmpty()) << "nothing ran";
        EXPECT_EQ(readBytes(backup), bytes);

        EXPECT_EQ(sandbox.run({"set-aside", "backup"}).exitCode, 0);
        EXPECT_FALSE(QFile::exists(backup));
        EXPECT_EQ(sandbox.run({"apply", "vibe", "--no-return"}).exitCode, 0);
        EXPECT_EQ(sandbox.run({"restore"}).exitCode, 0) << "a new backup, from the next apply";
        EXPECT_EQ(adapterSleep(sandbox.simHome()), factory);
        EXPECT_EQ(sandbox.run({"set-aside", "backup"}).exitCode, 1) << "a usable backup stays";
    }
}

// A backup set aside while a profile of Pellor's is in effect: the new one must not take the
// profile's settings for the person's, so it holds the Mac's factory settings, and it says so.
TEST(PellorCtl, ABackupSetAsideUnderAProfileIsRemadeFromTheFactorySettings) {
    CtlSandbox sandbox;
    ASSERT_EQ(sandbox.run({"apply", "vibe", "--no-return"}).exitCode, 0);
    writeBytes(sandbox.dataFile("original-settings.json"), "\x01 not json");
    const CtlSandbox::Run refused = sandbox.run({"apply", "download", "--no-return"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Vibe is in effect now, so if you set the backup aside, the "
                                     "new one will hold the system's default settings"))
        << refused.err.toStdString();
    EXPECT_TRUE(sandbox.run({"set-aside", "backup"})
                    .out.contains("Because a profile of Pellor's is in effect, the next profile "
                                  "you apply saves the system's default settings"));
    ASSERT_EQ(sandbox.run({"apply", "download", "--no-return"}).exitCode, 0);
    ASSERT_EQ(sandbox.run({"restore"}).exitCode, 0);
    EXPECT_EQ(adapterSleep(sandbox.simHome()), factory) << "not Vibe's, which never sleeps";
}

// Applies at once, round after round: each that says it saved its profile did, and none is
// undone by another's rollback.
TEST(PellorCtl, AppliesAtOnceTakeTurnsAndStatusNamesWhatIsInEffect) {
    CtlSandbox sandbox;
    const QStringList profiles{"vibe", "download", "normal"};
    for (int round = 0; round < 4; ++round) {
        QList<QStringList> runs;
        for (int each = 0; each < profiles.size(); ++each)
            runs << QStringList{"apply", profiles[(round + each) % profiles.size()], "--no-return"};
        for (const CtlSandbox::Run &run : sandbox.runAtOnce(runs)) {
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_TRUE(run.out.startsWith("Saved and verified macOS settings for "));
        }
        const QJsonObject status = jsonOf(sandbox.run({"status", "--json"}).out);
        const QJsonObject application = status["application"].toObject();
        const Profile named = *std::find_if(
            Profile::presets().cbegin(), Profile::presets().cend(),
            [&](const Profile &preset) { return preset.id == application["profile"].toString(); });
        EXPECT_EQ(adapterSleep(sandbox.simHome()),
                  (std::pair{named.displayMinutes, named.sleepMinutes}));
        EXPECT_EQ(application["changedOutsidePellor"].toArray(), QJsonArray());
    }
}

TEST(PellorCtl, StatusTellsWhatWasChangedOutsidePellor) {
    CtlSandbox sandbox;
    ASSERT_EQ(sandbox.run({"apply", "vibe", "--no-return"}).exitCode, 0);
    sim::SimulatorState state = sim::SimulatorState::load(sandbox.simHome());
    state.adapter->set(QStringLiteral("displaysleep"), 7);
    state.save(sandbox.simHome());
    EXPECT_TRUE(
        sandbox.run({"status"})
            .out.contains(
                "Changed Outside Pellor: Turn Display Off is 7 min now; Vibe sets Never.\n"))
        << sandbox.run({"status"}).out.toStdString();
    const QJsonObject application =
        jsonOf(sandbox.run({"status", "--json"}).out)["application"].toObject();
    EXPECT_EQ(
        application["changedOutsidePellor"].toArray(),
        QJsonArray({QJsonObject{{"setting", "displaySleepMinutes"}, {"live", 7}, {"profile", 0}}}));
}

TEST(PellorCtl, AnAppliedProfileIsReportedWhilePellorIsClosed) {
    CtlSandbox sandbox;
    EXPECT_EQ(sandbox.run({"apply", "focus", "--no-return"}).exitCode, 0);
    const QJsonObject application =
        jsonOf(sandbox.run({"status", "--json"}).out)["application"].toObject();
    EXPECT_EQ(application["running"], false);
    EXPECT_EQ(application["profile"], "focus");
    EXPECT_TRUE(sandbox.run({"status"})
                    .out.contains("Pellor: Focus · Active indefinitely (Pellor is not running)\n"));
    EXPECT_TRUE(sandbox.run({"list"}).out.contains("\n* focus "));
    EXPECT_EQ(sandbox.run({"restore"}).exitCode, 0);
    EXPECT_TRUE(jsonOf(sandbox.run({"status", "--json"}).out)["application"]
                    .toObject()["profile"]
                    .isNull());
}

TEST(PellorCtl, AForegroundTimedApplyReturnsToNormalOnSigterm) {
    CtlSandbox sandbox;
    QProcess process;
    process.setProcessEnvironment(sandbox.environment);
    process.start(NORVANE_BIN_DIR "/pellorctl", {"apply", "focus", "--for", "5"});
    // It announces the countdown once the profile is applied (standard output is no terminal).
    QString out;
    while (!out.contains("Returning to Normal in 05:00.") && process.waitForReadyRead(60'000))
        out += QString::fromUtf8(process.readAllStandardOutput());
    ASSERT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), awake);

    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60'000));
    out += QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(out.endsWith("Saved and verified macOS settings for Normal.\n"))
        << out.toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), (std::pair<qint64, qint64>{5, 15})); // Normal
}

TEST(PellorCtl, DiagnoseNamesWhatKeepsTheMacAwake) {
    CtlSandbox sandbox;
    sim::SimulatorState state = sim::SimulatorState::laptop();
    state.assertionHolders = {
        {4242, "caffeinate", "PreventUserIdleSystemSleep", "caffeinate command-line tool", 3, {}}};
    state.save(sandbox.simHome());
    const CtlSandbox::Run report = sandbox.run({"diagnose"});
    EXPECT_EQ(report.exitCode, 0) << report.err.toStdString();
    EXPECT_TRUE(report.out.startsWith("Pellor 1.2: Why isn't my Mac sleeping?\n"));
    EXPECT_TRUE(report.out.contains("caffeinate: caffeinate command-line tool"));
    const QJsonObject diagnosed = jsonOf(sandbox.run({"diagnose", "--json"}).out);
    EXPECT_EQ(diagnosed["assertions"]["holders"][0]["pid"], 4242);
}

// Each refusal once, then accepted forms; a refused rule leaves nothing in the file.
TEST(PellorCtl, RulesAddRefusesWhatCannotBeARule) {
    const std::tuple<QStringList, int, const char *> cases[] = {
        {{"battery-below", "0"}, 2, "a whole number from 1 to 99 %"},
        {{"battery-below", "100"}, 2, "a whole number from 1 to 99 %"},
        {{"schedule", "", "09:00-17:00"}, 2, "A schedule needs at least one day."},
        {{"schedule", "mon", "09:00-09:00"}, 2, "end at another time than it starts"},
        {{"schedule", "mon-funday", "09:00-17:00"}, 2, "\"mon-funday\" is not a day."},
        {{"schedule", "mon", "9-17"}, 2, "\"9-17\" is not a time span."},
        {{"schedule", "mon"}, 2, "Write it as \"--when schedule DAYS HH:MM-HH:MM\"."},
        {{"lunar"}, 2, "Unknown condition: lunar."},
        {{"battery", "--use", "nothing"}, 4, "No profile is called \"nothing\"."},
        {{"battery-below", "1"}, 0, "Added rule 1: Battery at or below 1 %, use Vibe.\n"},
        {{"battery-below", "99%"}, 0, "Added rule 2: Battery at or below 99 %, use Vibe.\n"},
        {{"schedule", "sat-mon", "22:00-07:00"}, 0, "rule 3: Mon, Sat, Sun 22:00–07:00, use"},
        {{"schedule", "weekdays,sun", "09:00-17:30"}, 0, "rule 4: Mon, Tue, Wed, Thu, Fri, Sun"},
        {{"app", "firefox", "--use", "FOCUS"}, 0, "rule 5: While firefox runs, use Focus.\n"},
        {{"external-display", "hdmi"}, 2, "Unexpected argument: hdmi"},
        {{"external-display"}, 0, "rule 6: While an external display is connected, use Vibe.\n"},
    };
    CtlSandbox sandbox;
    for (const auto &[condition, exitCode, message] : cases) {
        QStringList arguments = QStringList{"rules", "add", "--when"} + condition;
        if (!condition.contains("--use"))
            arguments << "--use"
                      << "vibe";
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CtlSandbox::Run run = sandbox.run(arguments);
        EXPECT_EQ(run.exitCode, exitCode);
        EXPECT_TRUE((run.out + run.err).contains(QString::fromUtf8(message)))
            << (run.out + run.err).toStdString();
    }
    const QJsonArray rules = jsonOf(sandbox.run({"rules", "--json"}).out)["rules"].toArray();
    EXPECT_EQ(rules.size(), 6);
    EXPECT_EQ(rules.last()["state"], "decidedByPellor") << "pellorctl sees no screens";
}

// Numbered from 1 in their order, each with its state: the simulated Mac is on its adapter, and a
// rule whose profile was deleted is kept as broken.
TEST(PellorCtl, RulesAreListedWithTheirStateAndChangedByNumber) {
    CtlSandbox sandbox;
    ProfileLibrary library(std::make_shared<FileProfileStorage>(sandbox.profilesFile()));
    library.save(Profile("mine", "Mine", ProfileIcon::leaf, 3, 4, 0, 0));
    for (const QStringList &rule :
         {QStringList{"adapter", "--use", "vibe"}, QStringList{"battery", "--use", "focus"},
          QStringList{"battery-below", "20", "--use", "mine"}})
        ASSERT_EQ(sandbox.run(QStringList{"rules", "add", "--when"} + rule).exitCode, 0);
    library.remove("mine");

    EXPECT_EQ(sandbox.run({"rules"}).out,
              "1. On the power adapter, use Vibe — holding now\n"
              "2. On battery, use Focus — not holding\n"
              "3. Battery at or below 20 %, use mine — broken: its profile was deleted\n"
              "Pellor is not running, and rules act only while it runs.\n");
    const QJsonObject listed = jsonOf(sandbox.run({"rules", "--json"}).out);
    EXPECT_EQ(listed["pellorRunning"], false);
    EXPECT_EQ(listed["rules"][2]["number"], 3);
    EXPECT_EQ(listed["rules"][2]["state"], "broken");
    EXPECT_EQ(listed["rules"][2]["title"], QJsonValue());
    EXPECT_EQ(listed["rules"][2]["condition"],
              (QJsonObject{{"kind", "batteryBelow"}, {"percent", 20}}));

    // The status names the rule behind the session as the rules file describes it now.
    Session byRule(Profile::vibe(), 0, QDateTime::currentDateTime());
    byRule.rule = AppliedByRule{listed["rules"][0]["id"].toString(), "as it read then"};
    SessionRecord(sandbox.dataFile("session.json"), "simulated").save(byRule);
    const QString status = sandbox.run({"status"}).out;
    EXPECT_TRUE(status.contains("Applied by rule: On the power adapter\nRules: Pellor is not "
                                "running, and rules act only while it runs.\n"))
        << status.toStdString();

    EXPECT_EQ(sandbox.run({"rules", "move", "3", "1"}).out, "Rule 3 is now rule 1.\n");
    EXPECT_EQ(sandbox.run({"rules", "disable", "2"}).exitCode, 0);
    EXPECT_EQ(sandbox.run({"rules", "pause"}).exitCode, 0);
    EXPECT_EQ(sandbox.run({"rules", "remove", "1"}).exitCode, 0);
    const CtlSandbox::Run outOfRange = sandbox.run({"rules", "enable", "3"});
    EXPECT_EQ(outOfRange.exitCode, 2);
    EXPECT_TRUE(outOfRange.err.contains("There is no rule 3;")) << outOfRange.err.toStdString();
    const QJsonObject changed = jsonOf(sandbox.run({"rules", "--json"}).out);
    EXPECT_EQ(changed["paused"], true);
    const QJsonArray rules = changed["rules"].toArray();
    ASSERT_EQ(rules.size(), 2);
    EXPECT_EQ(rules[0]["state"], "disabled");
    EXPECT_EQ(rules[0]["profile"], "vibe");
    EXPECT_EQ(rules[1]["state"], "notHolding");
}

// A toggle applies its profile, and, while it is in effect, the profile in effect before it, or
// Normal when there was none.
TEST(PellorCtl, ToggleGoesBackToTheProfileBefore) {
    CtlSandbox sandbox;
    const auto toggle = [&sandbox] { return sandbox.run({"toggle", "Focus", "--no-return"}).out; };
    EXPECT_EQ(toggle(), "Saved and verified macOS settings for Focus.\n");
    EXPECT_EQ(adapterSleep(sandbox.simHome()), awake);
    EXPECT_EQ(toggle(), "Saved and verified macOS settings for Normal.\n");
    ASSERT_EQ(sandbox.run({"apply", "download", "--no-return"}).exitCode, 0);
    EXPECT_EQ(toggle(), "Saved and verified macOS settings for Focus.\n");
    EXPECT_EQ(toggle(), "Saved and verified macOS settings for Download.\n");
    const QJsonObject status = jsonOf(sandbox.run({"status", "--json"}).out);
    EXPECT_EQ(status["application"]["profile"], "download");
}

TEST(PellorCtl, ADamagedRulesFileStopsOnlyTheRulesCommands) {
    CtlSandbox sandbox;
    const QString rulesFile = sandbox.dataFile("rules.json");
    const QByteArray damaged = R"({"version": 1, "rules": [)";
    writeBytes(rulesFile, damaged);
    for (const QStringList &arguments : {QStringList{"rules"}, QStringList{"rules", "pause"}}) {
        const CtlSandbox::Run run = sandbox.run(arguments);
        EXPECT_EQ(run.exitCode, 5);
        EXPECT_TRUE(run.err.contains(rulesFile) && run.err.contains("pellorctl set-aside rules"))
            << run.err.toStdString();
    }
    EXPECT_EQ(sandbox.run({"apply", "vibe", "--no-return"}).exitCode, 0);
    EXPECT_EQ(adapterSleep(sandbox.simHome()), awake);
    EXPECT_EQ(sandbox.run({"status"}).exitCode, 0);
    EXPECT_EQ(readBytes(rulesFile), damaged);

    EXPECT_EQ(sandbox.run({"set-aside", "rules"}).exitCode, 0);
    EXPECT_EQ(readBytes(sandbox.dataFile("rules-damaged-" +
                                         QDate::currentDate().toString(Qt::ISODate) + ".json")),
              damaged);
    EXPECT_EQ(sandbox.run({"rules"}).exitCode, 0);
}

TEST(LocalSession, ATimedApplyReturnsToNormalOnceItsClockPassesTheDeadline) {
    test::SimulatedMacHome home;
    QTemporaryDir data;
    ProfileLibrary library(std::make_shared<FileProfileStorage>(data.filePath("profiles.json")));
    Profile normal = library.normal(); // the return goes to Normal as the library has it
    normal.displayMinutes = 7;
    normal.sleepMinutes = 21;
    library.save(normal);
    QString printed;
    QString problems;
    QTextStream out(&printed);
    QTextStream err(&problems);
    QDateTime clock = QDateTime::currentDateTime();
    LocalSession session(library, out, err, {nullptr, [&] { return clock; }, 5, false});

    // Once the countdown has begun, time jumps past the deadline.
    QTimer jump;
    QObject::connect(&jump, &QTimer::timeout, [&] {
        if (printed.contains("Returning to") && session.store().session().deadline)
            clock = session.store().session().deadline->addSecs(1);
    });
    jump.start(5);

    EXPECT_EQ(session.apply(Profile::focus(), 1), ExitCode::success) << problems.toStdString();
    EXPECT_EQ(printed, "Saved and verified macOS settings for Focus.\n"
                       "Returning to Normal in 01:00. Press Ctrl+C to return now.\n"
                       "Saved and verified macOS settings for Normal.\n");
    EXPECT_EQ(session.store().profile(), normal);
    EXPECT_EQ(adapterSleep(home.path()), (std::pair<qint64, qint64>{7, 21}));
}

// For a fleet: what the administrator manages in list --json, a profile over a limit refused
// before any change, and check passing while the live settings keep the policy and what was
// applied, failing with its own code once they do not.
TEST(PellorCtl, CheckSaysWhetherTheLiveSettingsKeepThePolicy) {
    CtlSandbox sandbox;
    const QTemporaryDir system;
    const Profile kiosk("kiosk", "Kiosk", Profile::normal().icon, 5, 10, 300, 0);
    writeBytes(system.filePath("pellor/policy.json"), R"({"limits": {"sleepMinutes": 15}})");
    writeBytes(system.filePath("pellor/profiles.json"),
               QJsonDocument(QJsonObject{{"version", 1}, {"profiles", QJsonArray{kiosk.toJson()}}})
                   .toJson());
    sandbox.environment.insert("XDG_CONFIG_DIRS", system.path());

    const QJsonObject list = jsonOf(sandbox.run({"list", "--json"}).out);
    EXPECT_EQ(list["administrator"]["policy"]["limits"]["sleepMinutes"], 15);
    EXPECT_EQ(list["profiles"][0]["managed"], true);
    const CtlSandbox::Run refused = sandbox.run({"apply", "vibe"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith("A management policy limits “System Sleep” to 15 min"))
        << refused.err.toStdString();
    EXPECT_EQ(adapterSleep(sandbox.simHome()), factory);

    ASSERT_EQ(sandbox.run({"apply", "kiosk"}).exitCode, 0);
    EXPECT_EQ(sandbox.run({"check"}).exitCode, 0);
    sim::SimulatorState state = sim::SimulatorState::load(sandbox.simHome());
    state.adapter->set(QStringLiteral("sleep"), 30);
    state.save(sandbox.simHome());
    const CtlSandbox::Run over = sandbox.run({"check", "--json"});
    EXPECT_EQ(over.exitCode, 6);
    const QJsonObject found = jsonOf(over.out);
    EXPECT_EQ(found["overLimits"][0]["setting"], "systemSleepMinutes");
    EXPECT_EQ(found["overLimits"][0]["live"], 30);
    EXPECT_EQ(found["asApplied"], false);
}

// pellorctl(1) names every command, action and option that `--help` and each command's help do.
TEST(PellorCtl, TheManualPageNamesEveryCommandAndOptionTheHelpNames) {
    const CtlSandbox sandbox;
    QString page = readTextFile(NORVANE_SOURCE_DIR "/packaging/linux/pellorctl.1.in");
    page.replace("\\-", "-").remove(QRegularExpression(R"(\\f[BIRP])"));
    const QString help = sandbox.run({"--help"}).out;
    QStringList named;
    QString helps = help;
    static const QRegularExpression command(R"(^  ([a-z-]+) )",
                                            QRegularExpression::MultilineOption);
    for (const auto &match : command.globalMatch(help.section("Exit codes:", 0, 0))) {
        named << match.captured(1);
        helps += sandbox.run({match.captured(1), "--help"}).out;
    }
    static const QRegularExpression option(R"(--[a-z-]+)");
    for (const auto &match : option.globalMatch(helps))
        named << match.captured();
    // The actions of `rules`, as its help lists them: "  rules enable N | disable N".
    static const QRegularExpression action(R"(^  rules ([a-z]+)[^|\n]*(?:\| ([a-z]+))?)",
                                           QRegularExpression::MultilineOption);
    for (const auto &match : action.globalMatch(helps))
        for (const int part : {1, 2})
            if (match.hasCaptured(part))
                named << match.captured(part);
    named.removeDuplicates();
    ASSERT_GT(named.size(), 15);
    for (const QString &name : std::as_const(named))
        EXPECT_TRUE(page.contains(name)) << name.toStdString() << " is not in pellorctl(1)";
}
