// The settings window's models: when they read, `busy`, the restore path, texts, Copy Report.
#include "Settings/SettingsModel.h"

#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"
#include "Settings/SleepDiagnosisModel.h"

#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct SettingsTest : ::testing::Test, test::SessionFixture {
    void deliver(const SystemSettings &settings = test::snapshot(5, 15, "Power adapter")) {
        reader.deliver(settings);
        test::processQueuedEvents();
    }
    void update(int seconds, bool force = false) {
        now = now.addSecs(seconds);
        model.update(force);
    }

    test::ControlledSystemReader reader;
    SettingsModel model{store,
                        {[this] { return now; }, [this] { return reader.read(); },
                         [](const QUrl &) { return true; }}};
};

// The settings window's "Why isn't my Mac sleeping?" section, with its assertions reads in the
// test's hands.
struct SleepDiagnosisTest : SettingsTest {
    void deliverSnapshot(const SystemSettings &settings) {
        model.update(true);
        deliver(settings);
    }
    void deliverAssertions(const std::optional<PowerAssertions> &assertions) {
        reads.deliver(assertions);
        test::processQueuedEvents();
    }

    test::ControlledReads<std::optional<PowerAssertions>> reads;
    QStringList copied;
    SleepDiagnosisModel diagnosis{
        model,
        store,
        {[this] { return reads.read(); }, [this](const QString &text) { copied << text; }}};
};

} // namespace

TEST_F(SettingsTest, ShowsReadingUntilTheFirstReadThenReadsFiveSecondsAfterThePreviousEnded) {
    for (const QString &text : {model.sourceText(), model.displayText(), model.sleepText(),
                                model.screenSaverText(), model.assertionText(), model.statusLine()})
        EXPECT_EQ(text, L10n::text("Reading…"));
    model.update(false); // never read: due at once
    model.update(true);  // a read in flight: no second one
    EXPECT_EQ(reader.started, 1);
    now = now.addSecs(3); // the read takes three seconds
    deliver();
    EXPECT_EQ(model.sourceText(), "Power adapter");
    update(4);
    EXPECT_EQ(reader.started, 1);
    update(1);
    EXPECT_EQ(reader.started, 2);
    deliver();
    update(0, true);
    EXPECT_EQ(reader.started, 3) << "forcing reads at once whatever the age";
}

TEST_F(SettingsTest, ReadsRightAfterAnApplyEndsUnlessAReadIsRunning) {
    model.update(true);
    deliver();
    store.activate(Profile::focus(), std::nullopt, now);
    model.update(false);
    EXPECT_TRUE(model.busy());
    succeed();
    update(1); // only one second after the last read, but the apply has ended
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(reader.started, 2);

    // A read in flight when the apply ends: only busy is refreshed.
    store.activate(Profile::focus(), std::nullopt, now);
    model.update(true);
    succeed();
    model.update(false);
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(reader.started, 2);
    deliver();
    model.update(false);
    EXPECT_EQ(reader.started, 2) << "without a further apply the next update waits again";
}

// GNOME told of a change: the next update reads, also when the change came during a read.
TEST_F(SettingsTest, AChangeTheSystemToldOfIsReadAtOnce) {
    model.update(true);
    model.markStale();
    deliver(); // began before the change
    model.update(false);
    EXPECT_EQ(reader.started, 2);
    deliver();
    model.markStale();
    model.update(false);
    EXPECT_EQ(reader.started, 3);
}

TEST(SettingsPowerSettings, ADesktopOpensItsOwnPanelOrSaysItCouldNot) {
    const SystemIdentity before = currentSystem();
    SystemIdentity desktop = before;
    desktop.isMac = false;
    desktop.name = "GNOME";
    desktop.powerSettingsCommand = {"gnome-control-center", "power"};
    setCurrentSystem(desktop);
    test::SessionFixture session;
    QStringList started;
    bool starts = false;
    SettingsModel model(session.store, {{},
                                        {},
                                        [](const QUrl &) {
                                            ADD_FAILURE() << "no URL on a desktop";
                                            return false;
                                        },
                                        [&](const QStringList &command) {
                                            started = command;
                                            return starts;
                                        }});
    model.openSystemSettings();
    EXPECT_EQ(started, desktop.powerSettingsCommand);
    EXPECT_EQ(model.openFailure(),
              L10n::text({"The {0} power settings could not be opened.", {"GNOME"}}));
    starts = true;
    model.openSystemSettings();
    EXPECT_EQ(model.openFailure(), "");
    setCurrentSystem(before);
}

TEST_F(SettingsTest, ARestoreReadsAfterwardsAndSaysHowItEndedEvenWhenItFails) {
    model.restoreOriginal();
    EXPECT_EQ(service->restores, 1);
    service->fail(ConfigurationError::message("Nothing to restore"));
    test::processQueuedEvents();
    EXPECT_EQ(reader.started, 1);
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(
        model.restoreNotice(),
        L10n::text("Could not restore the original settings. System settings are unchanged."));

    deliver();
    model.restoreOriginal();
    EXPECT_EQ(model.restoreNotice(), "") << "the last outcome goes when the next restore starts";
    service->succeed();
    test::processQueuedEvents();
    EXPECT_EQ(model.restoreNotice(),
              L10n::text("Restored the original settings saved before the first change."));
}

TEST(SettingsTexts, ScreenSaverShowsWholeMinutesNeverOrTheSystemDefault) {
    EXPECT_EQ(SettingsModel::screenSaverText(std::nullopt), L10n::text("System default"));
    EXPECT_EQ(SettingsModel::screenSaverText(59), L10n::text("Never"));
    EXPECT_EQ(SettingsModel::screenSaverText(119), L10n::text({"{0} min", {"1"}}));
}

TEST(SettingsTexts, WakeRequestsHaveFiveCases) {
    const QString active =
        L10n::text("Wake requests are active. Other apps may prevent your Mac from sleeping.\n");
    const QString noProcesses = L10n::text("The system did not provide process information.");
    const QString none = L10n::text("No requests preventing sleep were detected.");
    using Flag = std::optional<bool>;
    const std::tuple<Flag, Flag, std::optional<QString>, QString> cases[] = {
        {true, false, "coreaudiod, Music", active + "coreaudiod, Music"},
        {std::nullopt, true, "", active + noProcesses},
        {std::nullopt, false, std::nullopt, L10n::text("Wake requests are currently unavailable.")},
        {false, false, "ignored", none},
        {false, std::nullopt, std::nullopt, none}};
    for (const auto &[system, display, preventers, expected] : cases) {
        SystemSettings settings = test::snapshot(5, 15, "Battery");
        settings.systemAssertion = system;
        settings.displayAssertion = display;
        settings.sleepPreventers = preventers;
        EXPECT_EQ(SettingsModel::assertionText(settings), expected);
    }
}

TEST_F(SleepDiagnosisTest, EachSnapshotBringsOneAssertionsReadAndTheDiagnosisOfBoth) {
    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    EXPECT_EQ(reads.pending(), 0) << "a closed section reads nothing";
    diagnosis.setExpanded(true);
    ASSERT_EQ(reads.pending(), 1) << "opening it reads at once";
    deliverAssertions(PowerAssertions{});
    SystemSettings settings = test::snapshot(10, 1, "Power adapter");
    settings.sleepDisabled = true;
    deliverSnapshot(settings);
    ASSERT_EQ(reads.pending(), 1);
    deliverSnapshot(settings); // while the first read runs: it waits its turn
    EXPECT_EQ(reads.pending(), 1);

    PowerAssertions assertions;
    assertions.holders = {
        {7, "caffeinate", "PreventUserIdleSystemSleep", "00:00:01", "caffeinate", {}},
        {8, "Keynote", "PreventUserIdleDisplaySleep", "00:00:01", "Playing slideshow", {}}};
    deliverAssertions(assertions);
    const SleepDiagnosis expected = SleepDiagnosis::make(settings, assertions);
    EXPECT_EQ(diagnosis.sleepText(), expected.sleep);
    EXPECT_EQ(diagnosis.displayHolders(), QStringList{expected.displayHolders[0].text()});
    EXPECT_EQ(model.sleepText(), L10n::text("Never: sleep is disabled system-wide"));

    ASSERT_EQ(reads.pending(), 1); // the second snapshot's read
    deliverAssertions(std::nullopt);
    EXPECT_EQ(reads.pending(), 0);
    EXPECT_EQ(diagnosis.sleepHolders(), QStringList()); // no holders known, no remarks
}

TEST_F(SleepDiagnosisTest, CopyReportPutsTheReportOnTheClipboard) {
    diagnosis.setExpanded(true);
    diagnosis.copyReport();
    EXPECT_TRUE(copied.isEmpty()); // nothing read yet

    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    deliverAssertions(PowerAssertions{});
    diagnosis.copyReport();
    ASSERT_EQ(copied.size(), 1);
    EXPECT_TRUE(copied[0].contains(L10n::text("Using system settings")));
    EXPECT_TRUE(diagnosis.reportCopied());

    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    deliverAssertions(PowerAssertions{});
    EXPECT_FALSE(diagnosis.reportCopied());
}
