// The backend's decisions over fake platform seams: what it runs, what it stores, what it posts,
// and how it reads the tools' failures. The real stand-in programs are exercised end to end in
// ConfigurationEndToEndTest.
#include "Configuration/NativeConfigurationBackend.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using test::errorTextFrom;

namespace {

struct FakeRunner : ToolRunner {
    struct Call {
        QString program;
        QStringList arguments;
    };
    mutable QList<Call> calls;
    QString customOutput =
        "Battery Power:\n displaysleep 2\n sleep 1\nAC Power:\n displaysleep 10\n sleep 1\n";
    int queryStatus = 0;
    ToolResult scriptResult{0, {}, {}};
    // What a successful script run does to the settings the next query prints.
    std::function<void(const QString &script)> onScript;

    ToolResult run(const QString &program, const QStringList &arguments,
                   StandardError) const override {
        calls << Call{program, arguments};
        if (program.endsWith("osascript")) {
            if (scriptResult.exitStatus == 0 && onScript)
                onScript(arguments.value(1));
            return scriptResult;
        }
        return {queryStatus, customOutput.toUtf8(), {}};
    }
    [[nodiscard]] int count(const char *tool) const {
        return int(std::count_if(calls.cbegin(), calls.cend(),
                                 [&](const Call &c) { return c.program.endsWith(tool); }));
    }
};

struct FakePreferences : HostPreferences {
    std::optional<QVariant> stored;
    bool synchronizeWorks = true;
    QStringList notifications;
    int sets = 0;

    bool synchronize(const QString &domain) override {
        return domain == "com.apple.screensaver" && synchronizeWorks;
    }
    std::optional<QVariant> copyValue(const QString &key, const QString &) override {
        return key == "idleTime" ? stored : std::nullopt;
    }
    void setValue(const QString &, const std::optional<QVariant> &value, const QString &) override {
        ++sets;
        stored = value;
    }
    void postNotification(const QString &name) override { notifications << name; }
};

struct BackendTest : ::testing::Test {
    QTemporaryDir home;
    std::shared_ptr<FakeRunner> runner = std::make_shared<FakeRunner>();
    std::shared_ptr<FakePreferences> preferences = std::make_shared<FakePreferences>();
    QString backupPath = home.filePath("support/Norvane/original-settings.json");
    NativeConfigurationBackend backend{
        Platform{{"/sim/pmset", "/sim/osascript"}, runner, preferences, nullptr, nullptr},
        backupPath};

    void SetUp() override { preferences->stored = QVariant(qint64(300)); }

    MacConfiguration current() { return backend.read(); }
};

QString saveError(const QString &detail) {
    return L10n::text({"Could not save power settings: {0}", {detail}});
}

} // namespace

TEST_F(BackendTest, ReadsSourcesAndTheStoredScreenSaver) {
    EXPECT_EQ(current(), (MacConfiguration{{{"-b", 2, 1}, {"-c", 10, 1}}, 300}));
    ASSERT_EQ(runner->calls.size(), 1);
    EXPECT_EQ(runner->calls[0].program, "/sim/pmset");
    EXPECT_EQ(runner->calls[0].arguments, QStringList({"-g", "custom"}));

    preferences->stored.reset();
    EXPECT_EQ(current().screenSaverSeconds, std::nullopt);
    preferences->stored = QVariant(300.9);
    EXPECT_EQ(current().screenSaverSeconds, 300);
}

TEST_F(BackendTest, ReadFailuresCarryTheirMessages) {
    preferences->stored = QVariant(QStringLiteral("300"));
    EXPECT_EQ(errorTextFrom([&] { (void)current(); }),
              L10n::text("The screen saver timeout format is unsupported."));
    preferences->synchronizeWorks = false;
    EXPECT_EQ(errorTextFrom([&] { (void)current(); }),
              L10n::text("Could not synchronize screen saver settings. No changes were made."));
    runner->queryStatus = 1;
    EXPECT_EQ(errorTextFrom([&] { (void)current(); }),
              L10n::text("Could not read pmset settings."));
}

TEST_F(BackendTest, WritingTheCurrentStateDoesNothingAfterItsRead) {
    backend.write(current());
    EXPECT_EQ(runner->count("pmset"), 2);
    EXPECT_EQ(runner->count("osascript"), 0);
    EXPECT_EQ(preferences->sets, 0);
    EXPECT_TRUE(preferences->notifications.isEmpty());
}

TEST_F(BackendTest, ScreenSaverOnlyChangeAsksForNoAuthorization) {
    MacConfiguration target = current();
    target.screenSaverSeconds = 600;
    backend.write(target);
    EXPECT_EQ(runner->count("osascript"), 0);
    EXPECT_EQ(preferences->stored, QVariant(qint64(600)));
    EXPECT_EQ(preferences->notifications, QStringList{"com.apple.screensaver.didchange"});

    target.screenSaverSeconds.reset();
    backend.write(target);
    EXPECT_EQ(preferences->stored, std::nullopt) << "an empty target removes the stored value";
    EXPECT_EQ(preferences->notifications.size(), 2);
}

TEST_F(BackendTest, PowerChangeRunsOneAuthorizedCommandAndPostsNothing) {
    MacConfiguration target = current();
    target.sources[1].display = 0;
    backend.write(target);
    ASSERT_EQ(runner->count("osascript"), 1);
    const auto &script = runner->calls.last();
    EXPECT_EQ(
        script.arguments,
        QStringList(
            {"-e",
             "do shell script \"/usr/bin/pmset -b displaysleep 2 sleep 1 && /usr/bin/pmset -c "
             "displaysleep 0 sleep 1\" with administrator privileges"}));
    EXPECT_TRUE(preferences->notifications.isEmpty());
}

TEST_F(BackendTest, ScreenSaverRangeIsCheckedAfterThePowerWrite) {
    for (const qint64 seconds : {qint64(86401), qint64(-1)}) {
        runner->calls.clear();
        MacConfiguration target = current();
        target.sources[0].sleep = 7;
        target.screenSaverSeconds = seconds;
        EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
                  L10n::text("The screen saver timeout is outside the supported range."));
        EXPECT_EQ(runner->count("osascript"), 1);
        EXPECT_EQ(preferences->sets, 0);
    }
    MacConfiguration longest = current();
    longest.screenSaverSeconds = 86400;
    backend.write(longest);
    EXPECT_EQ(preferences->stored, QVariant(qint64(86400)));

    preferences->synchronizeWorks = false;
    // synchronize fails in the read already; the write's own failure is tested through the
    // message the transaction sees.
    EXPECT_EQ(errorTextFrom([&] { backend.write(longest); }),
              L10n::text("Could not synchronize screen saver settings. No changes were made."));
}

TEST_F(BackendTest, AuthorizationFailuresAreToldApart) {
    MacConfiguration target = current();
    target.sources[0].display = 30;

    runner->scriptResult = {1, {}, "0:92: execution error: User canceled. (-128)\n"};
    EXPECT_TRUE(test::configurationErrorFrom([&] { backend.write(target); }).isCancelled());

    runner->scriptResult = {1, {}, "0:92: execution error: Something odd (-1280)\n"};
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }), saveError("Something odd"));

    runner->scriptResult = {1, {}, "execution error: pmset: sleep setting is locked (1)"};
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
              saveError("pmset: sleep setting is locked"));

    runner->scriptResult = {
        1, {}, "0:99: execution error: usage: tool\r  -p policy\r  -e error (2)\n"};
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
              saveError("usage: tool\n  -p policy\n  -e error"));

    runner->scriptResult = {1, {}, {}};
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
              saveError(L10n::text("Unknown error")));
}

TEST(AppleScript, QuotesTheCommandAndReadsErrorNumbersExactly) {
    EXPECT_EQ(NativeConfigurationBackend::authorizationScript(R"(a\b "c")"),
              R"(do shell script "a\\b \"c\"" with administrator privileges)");
    EXPECT_EQ(AppleScriptError::parse("execution error: User canceled. (-128)").number, -128);
    EXPECT_EQ(AppleScriptError::parse("execution error: User canceled. (-128)").message,
              "User canceled.");
    EXPECT_EQ(AppleScriptError::parse("error -128 somewhere").number, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("bad (-128) in the middle\n").number, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("").message, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("0:1:(7)").number, 7);
    EXPECT_EQ(AppleScriptError::parse("0:1:(7)").message, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("x (0\u06f2)").message, "x (0\u06f2)") << "ASCII digits only";

    // A long error text takes time in proportion to its length.
    const QString blanks(400'000, u' ');
    const QString longText = "0:1: execution error: x" + blanks + "y";
    EXPECT_EQ(AppleScriptError::parse(longText).number, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse(longText).message, longText);
    const AppleScriptError numbered = AppleScriptError::parse(longText + blanks + "(-5)");
    EXPECT_EQ(numbered.number, -5);
    EXPECT_EQ(numbered.message, "x" + blanks + "y");
}

TEST_F(BackendTest, BackupIsWrittenOncePrivatelyAndNeverReplaced) {
    EXPECT_EQ(errorTextFrom([&] { (void)backend.loadOriginal(); }),
              L10n::text("No profile has been applied, so there is no original settings backup."));

    const MacConfiguration first{{{"-b", 2, 1}}, std::nullopt};
    backend.saveOriginalIfNeeded(first);
    EXPECT_EQ(test::posixMode(backupPath), 0600);
    EXPECT_EQ(test::posixMode(QFileInfo(backupPath).absolutePath()), 0700);
    EXPECT_EQ(test::posixMode(home.filePath("support")), 0700) << "missing parents are private too";
    EXPECT_FALSE(test::readTextFile(backupPath).contains("screenSaverSeconds"));
    EXPECT_EQ(backend.loadOriginal(), first);

    const QString bytes = test::readTextFile(backupPath);
    backend.saveOriginalIfNeeded(MacConfiguration{{{"-c", 9, 9}}, 60});
    EXPECT_EQ(test::readTextFile(backupPath), bytes);
}

TEST_F(BackendTest, DamagedBackupStopsEverySaveAndStaysAsItIs) {
    QDir().mkpath(QFileInfo(backupPath).absolutePath());
    QFile damaged(backupPath);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ not json");
    damaged.close();
    EXPECT_THROW(backend.saveOriginalIfNeeded(MacConfiguration{{{"-b", 1, 1}}, 0}), PlatformError);
    EXPECT_EQ(test::readTextFile(backupPath), "{ not json");
}
