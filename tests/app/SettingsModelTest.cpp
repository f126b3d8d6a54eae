// The settings window's model: when it reads, `busy`, the restore path and its texts' rules.
#include "Settings/SettingsModel.h"

#include "AppTestSupport.h"
#include "Localization/L10n.h"

#include <QLocale>
#include <QSignalSpy>
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

} // namespace

TEST_F(SettingsTest, ShowsReadingUntilTheFirstReadThenReadsFiveSecondsAfterThePreviousEnded) {
    for (const QString &text : {model.sourceText(), model.displayText(), model.sleepText(),
                                model.screenSaverText(), model.assertionText(), model.statusLine()})
        EXPECT_EQ(text, L10n::text("Reading…"));
    model.update(false); // never read: due at once
    model.update(true);  // a read in flight: no second one
    EXPECT_EQ(reader.started, 1);
    EXPECT_TRUE(model.reading());
    now = now.addSecs(3); // the read takes three seconds
    SystemSettings snapshot = test::snapshot(10, 0, "Battery");
    snapshot.screenSaverSeconds = 300;
    deliver(snapshot);
    EXPECT_EQ(model.lastRead(), now);
    EXPECT_EQ((QStringList{model.sourceText(), model.displayText(), model.sleepText(),
                           model.screenSaverText()}),
              (QStringList{"Battery", SystemSettings::duration(10), SystemSettings::duration(0),
                           L10n::text({"{0} min", {"5"}})}));

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
    QSignalSpy busy(&model, &SettingsModel::busyChanged);
    store.activate(Profile::focus(), std::nullopt, now);
    model.update(false);
    EXPECT_TRUE(model.busy());
    succeed();
    update(1); // only one second after the last read, but the apply has ended
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(reader.started, 2);
    EXPECT_EQ(busy.count(), 2);

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

TEST_F(SettingsTest, ARestoreReadsAfterwardsEvenWhenItFails) {
    model.restoreOriginal();
    EXPECT_EQ(service->restores, 1);
    service->fail(ConfigurationError::message("Nothing to restore"));
    test::processQueuedEvents();
    EXPECT_EQ(reader.started, 1);
    EXPECT_FALSE(model.busy());
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

TEST(SettingsTexts, StatusLineShowsTheTimeOfDayOfTheReadOrTheError) {
    SystemSettings settings = test::snapshot(5, 15, "Battery");
    settings.readAt = QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9));
    const QString time = QLocale().toString(QTime(14, 5, 9), QLocale::ShortFormat);
    EXPECT_EQ(SettingsModel::statusLine(settings), L10n::text({"Last updated {0}", {time}}));
    settings.error = "pmset: exit status 1";
    EXPECT_EQ(SettingsModel::statusLine(settings), "pmset: exit status 1");
}
