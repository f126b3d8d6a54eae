// The backend against the simulated Mac: what it runs, what it stores, what it posts, and how it
// reads the tools' failures.
#include "Configuration/NativeConfigurationBackend.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "SimulatedMacHome.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using test::errorTextFrom;

namespace {

struct BackendTest : ::testing::Test {
    test::SimulatedMacHome simulated;
    QTemporaryDir home;
    QString backupPath = home.filePath("support/Norvane/original-settings.json");
    NativeConfigurationBackend backend{Platform::system(), backupPath};

    [[nodiscard]] QList<sim::Invocation> runs() const { return sim::invocations(simulated.path()); }
};

QString saveError(const QString &detail) {
    return L10n::text({"Could not save power settings: {0}", {detail}});
}

} // namespace

TEST_F(BackendTest, ReadsSourcesAndTheStoredScreenSaverOrSaysWhyNot) {
    EXPECT_EQ(backend.read(), (MacConfiguration{{{"-b", 2, 1}, {"-c", 10, 1}}, std::nullopt}));
    EXPECT_EQ(runs(), (QList<sim::Invocation>{{"pmset", {"-g", "custom"}, false}}));
    simulated.storeScreenSaver(300.9);
    EXPECT_EQ(backend.read().screenSaverSeconds, 300);

    // Failures carry their messages.
    simulated.storeScreenSaver(QStringLiteral("300"));
    EXPECT_EQ(errorTextFrom([&] { (void)backend.read(); }),
              L10n::text("The screen saver timeout format is unsupported."));
    simulated.change([](sim::SimulatorState &s) { s.preferencesSynchronizeFails = true; });
    EXPECT_EQ(errorTextFrom([&] { (void)backend.read(); }),
              L10n::text("Could not synchronize screen saver settings. No changes were made."));
    simulated.change([](sim::SimulatorState &s) { s.failingQueries = {"custom"}; });
    EXPECT_EQ(errorTextFrom([&] { (void)backend.read(); }),
              L10n::text("Could not read pmset settings."));
}

TEST_F(BackendTest, APowerChangeRunsOneAuthorizedCommandAndAScreenSaverChangeNone) {
    MacConfiguration target = backend.read();
    target.sources[1].display = 0;
    backend.write(target);
    EXPECT_EQ(runs().at(2), (sim::Invocation{"osascript",
                                             {"-e", "do shell script \"/usr/bin/pmset -b "
                                                    "displaysleep 2 sleep 1 && /usr/bin/pmset -c "
                                                    "displaysleep 0 sleep 1\" with administrator "
                                                    "privileges"},
                                             false}));
    EXPECT_TRUE(sim::notifications(simulated.path()).isEmpty());

    const qsizetype before = runs().size();
    target.screenSaverSeconds = 86400; // the longest
    backend.write(target);
    EXPECT_EQ(runs().size(), before + 1) << "the read only";
    EXPECT_EQ(simulated.storedScreenSaver(), QVariant::fromValue(qint64(86400)));
    EXPECT_EQ(sim::notifications(simulated.path()), QStringList{"com.apple.screensaver.didchange"});
}

TEST_F(BackendTest, ScreenSaverRangeIsCheckedAfterThePowerWrite) {
    for (const qint64 seconds : {qint64(86401), qint64(-1)}) {
        MacConfiguration target = backend.read();
        target.sources[0].sleep = seconds < 0 ? 7 : 8;
        target.screenSaverSeconds = seconds;
        EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
                  L10n::text("The screen saver timeout is outside the supported range."));
        EXPECT_EQ(simulated.state().battery->number("sleep"), target.sources[0].sleep);
        EXPECT_FALSE(simulated.storedScreenSaver());
    }
}

TEST_F(BackendTest, AuthorizationFailuresAreToldApart) {
    MacConfiguration target = backend.read();
    target.sources[0].display = 30;
    simulated.change([](sim::SimulatorState &s) { s.authorization = sim::Authorization::cancel; });
    EXPECT_TRUE(test::configurationErrorFrom([&] { backend.write(target); }).isCancelled());

    simulated.change([](sim::SimulatorState &s) {
        s.authorization = sim::Authorization::fail;
        s.authorizationFailureMessage = QStringLiteral("Something odd");
    });
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }), saveError("Something odd"));

    // A failing command's lines come back as lines.
    simulated.change([&](sim::SimulatorState &s) {
        s.authorization = sim::Authorization::allow;
        s.privilegedFailure = sim::PrivilegedFailure{"usage: tool\n  -p policy\n  -e error"};
    });
    EXPECT_EQ(errorTextFrom([&] { backend.write(target); }),
              saveError("usage: tool\n  -p policy\n  -e error"));

    Platform silent = Platform::system();
    silent.tools.osascript = QStringLiteral("/bin/false");
    EXPECT_EQ(errorTextFrom([&] { NativeConfigurationBackend(silent, backupPath).write(target); }),
              saveError(L10n::text("Unknown error")));
}

TEST(AppleScript, QuotesTheCommandAndReadsErrorNumbersExactly) {
    EXPECT_EQ(NativeConfigurationBackend::authorizationScript(R"(a\b "c")"),
              R"(do shell script "a\\b \"c\"" with administrator privileges)");
    const AppleScriptError cancelled =
        AppleScriptError::parse("0:92: execution error: User canceled. (-128)\n");
    EXPECT_EQ(cancelled.number, -128);
    EXPECT_EQ(cancelled.message, "User canceled.");
    for (const char *unnumbered : {"error -128 somewhere", "bad (-128) in the middle\n"})
        EXPECT_EQ(AppleScriptError::parse(unnumbered).number, std::nullopt) << unnumbered;
    EXPECT_EQ(AppleScriptError::parse("").message, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("0:1:(7)").number, 7);
    EXPECT_EQ(AppleScriptError::parse("0:1:(7)").message, std::nullopt);
    EXPECT_EQ(AppleScriptError::parse("x (0\u06f2)").message, "x (0\u06f2)") << "ASCII digits only";
    // Long texts, which must take time in proportion to their length, are left to the fuzzer.
}

TEST_F(BackendTest, BackupIsWrittenOncePrivatelyAndNeverReplacedEvenWhenDamaged) {
    EXPECT_EQ(errorTextFrom([&] { (void)backend.loadOriginal(); }),
              L10n::text("No profile has been applied, so there is no original settings backup."));

    const MacConfiguration first{{{"-b", 2, 1}}, std::nullopt};
    backend.saveOriginalIfNeeded(first);
    EXPECT_EQ(test::posixMode(backupPath), 0600);
    EXPECT_EQ(test::posixMode(QFileInfo(backupPath).absolutePath()), 0700);
    EXPECT_EQ(test::posixMode(home.filePath("support")), 0700) << "missing parents are private too";
    EXPECT_EQ(backend.loadOriginal(), first);

    const QString bytes = test::readTextFile(backupPath);
    backend.saveOriginalIfNeeded(MacConfiguration{{{"-c", 9, 9}}, 60});
    EXPECT_EQ(test::readTextFile(backupPath), bytes);

    // The backup records its system; one written before it did is the simulated Mac's here.
    EXPECT_TRUE(bytes.contains(R"("world": "simulated")"));
    test::writeBytes(backupPath, R"({"sources":[{"flag":"-c","display":1,"sleep":1}]})");
    EXPECT_EQ(backend.loadOriginal(), (MacConfiguration{{{"-c", 1, 1}}, std::nullopt}));

    // A damaged or invalid backup, or another system's, stops the apply, names its file, and
    // stays as it is.
    for (const QByteArray &content :
         {QByteArray("{ not json"),
          QByteArray(R"({"sources":[{"flag":"-x","display":1,"sleep":1}]})"),
          QByteArray(R"({"world":"gnome","sources":[{"flag":"-c","display":1,"sleep":1}]})")}) {
        test::writeBytes(backupPath, content);
        const ConfigurationError error =
            test::configurationErrorFrom([&] { backend.saveOriginalIfNeeded(first); });
        EXPECT_EQ(error.damagedFile(), backupPath);
        EXPECT_TRUE(error.errorDescription().contains(backupPath));
        EXPECT_EQ(test::readBytes(backupPath), content);
    }
}
