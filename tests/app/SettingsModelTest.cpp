// The settings window's model: when it reads the live settings, how `busy` follows the session
// store, the restore path, and every text the window shows for a snapshot.
#include "Settings/SettingsModel.h"

#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Sessions/SessionStore.h"
#include "TestSupport.h"

#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

struct SettingsTest : ::testing::Test {
    void deliver(const SystemSettings &settings = test::snapshot(5, 15, "Power adapter")) {
        reader.deliver(settings);
        test::processQueuedEvents();
    }

    std::shared_ptr<test::ControlledConfiguring> service =
        std::make_shared<test::ControlledConfiguring>();
    QDateTime now = kStart;
    SessionStore store{service, [this] { return now; }, [] { return Profile::normal(); }};
    test::ControlledSystemReader reader;
    QList<QUrl> opened;
    SettingsModel model{store,
                        {[this] { return now; }, [this] { return reader.read(); },
                         [this](const QUrl &url) {
                             opened << url;
                             return opens;
                         }}};
    bool opens = true;
};

QString readingText() {
    return L10n::text("Reading…");
}

} // namespace

TEST_F(SettingsTest, ShowsReadingEverywhereUntilTheFirstReadCompletes) {
    EXPECT_FALSE(model.hasSnapshot());
    for (const QString &text : {model.sourceText(), model.displayText(), model.sleepText(),
                                model.screenSaverText(), model.assertionText(), model.statusLine()})
        EXPECT_EQ(text, readingText());

    model.update(true);
    ASSERT_EQ(reader.pending(), 1);
    EXPECT_TRUE(model.reading());
    EXPECT_EQ(model.displayText(), readingText());

    SystemSettings snapshot = test::snapshot(10, 0, "Battery");
    snapshot.screenSaverSeconds = 300;
    QSignalSpy changed(&model, &SettingsModel::snapshotChanged);
    deliver(snapshot);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model.reading());
    EXPECT_EQ(model.sourceText(), "Battery");
    EXPECT_EQ(model.displayText(), SystemSettings::duration(10));
    EXPECT_EQ(model.sleepText(), SystemSettings::duration(0));
    EXPECT_EQ(model.screenSaverText(), L10n::text({"{0} min", {"5"}}));
}

TEST_F(SettingsTest, TwoQuickRefreshesStartOneRead) {
    model.update(true);
    model.update(true);
    model.update(false);
    EXPECT_EQ(reader.started, 1);
    deliver();
    EXPECT_EQ(reader.started, 1);
}

TEST_F(SettingsTest, UnforcedReadsComeFiveSecondsAfterThePreviousReadEnded) {
    model.update(false); // never read: due at once
    EXPECT_EQ(reader.started, 1);
    now = now.addSecs(3); // the read takes three seconds
    deliver();
    EXPECT_EQ(model.lastRead(), now);

    for (int second = 1; second <= 4; ++second) {
        now = now.addSecs(1);
        model.update(false);
    }
    EXPECT_EQ(reader.started, 1);
    now = now.addSecs(1);
    model.update(false);
    EXPECT_EQ(reader.started, 2);

    // Forcing reads at once whatever the age.
    deliver();
    model.update(true);
    EXPECT_EQ(reader.started, 3);
}

TEST_F(SettingsTest, ReadsRightAfterAnApplyEnds) {
    model.update(true);
    deliver();
    QSignalSpy busy(&model, &SettingsModel::busyChanged);

    store.activate(Profile::focus(), std::nullopt, now);
    model.update(false);
    EXPECT_TRUE(model.busy());
    EXPECT_EQ(reader.started, 1);

    service->succeed();
    test::processQueuedEvents();
    now = now.addSecs(1);
    model.update(false); // only one second after the last read, but the apply has ended
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(reader.started, 2);
    EXPECT_EQ(busy.count(), 2);

    // Without a further apply the next update waits again.
    deliver();
    model.update(false);
    EXPECT_EQ(reader.started, 2);
    EXPECT_EQ(busy.count(), 3); // every update tells the view, changed or not
}

TEST_F(SettingsTest, AReadInFlightOnlyRefreshesBusy) {
    model.update(true);
    store.activate(Profile::focus(), std::nullopt, now);
    model.update(true);
    EXPECT_TRUE(model.busy());
    service->succeed();
    test::processQueuedEvents();
    model.update(false); // the apply ended, but a read is still running
    EXPECT_FALSE(model.busy());
    EXPECT_EQ(reader.started, 1);
}

TEST_F(SettingsTest, RestoreGoesThroughTheStoreAndReadsAfterwards) {
    model.update(true);
    deliver();
    model.restoreOriginal();
    EXPECT_EQ(service->restores, 1);
    EXPECT_TRUE(store.isApplying());
    EXPECT_EQ(reader.started, 1);

    service->succeed();
    test::processQueuedEvents();
    EXPECT_EQ(reader.started, 2);
    EXPECT_FALSE(model.busy());
}

TEST_F(SettingsTest, AFailedRestoreStillReadsAgain) {
    model.restoreOriginal();
    service->fail(ConfigurationError::message("Nothing to restore"));
    test::processQueuedEvents();
    EXPECT_EQ(reader.started, 1);
    EXPECT_TRUE(store.errorMessage());
}

TEST(SettingsTexts, ScreenSaverShowsWholeMinutesNeverOrTheSystemDefault) {
    EXPECT_EQ(SettingsModel::screenSaverText(std::nullopt), L10n::text("System default"));
    EXPECT_EQ(SettingsModel::screenSaverText(0), L10n::text("Never"));
    EXPECT_EQ(SettingsModel::screenSaverText(30), L10n::text("Never"));
    EXPECT_EQ(SettingsModel::screenSaverText(90), L10n::text({"{0} min", {"1"}}));
    EXPECT_EQ(SettingsModel::screenSaverText(300), L10n::text({"{0} min", {"5"}}));
}

TEST(SettingsTexts, WakeRequestsHaveFiveCases) {
    const QString active =
        L10n::text("Wake requests are active. Other apps may prevent your Mac from sleeping.\n");
    const QString noProcesses = L10n::text("The system did not provide process information.");
    const auto text = [](std::optional<bool> system, std::optional<bool> display,
                         std::optional<QString> preventers = std::nullopt) {
        SystemSettings settings = test::snapshot(5, 15, "Battery");
        settings.systemAssertion = system;
        settings.displayAssertion = display;
        settings.sleepPreventers = preventers;
        return SettingsModel::assertionText(settings);
    };

    EXPECT_EQ(SettingsModel::assertionText(std::nullopt), L10n::text("Reading…"));
    EXPECT_EQ(text(true, false, "coreaudiod, Music"), active + "coreaudiod, Music");
    EXPECT_EQ(text(true, std::nullopt), active + noProcesses);
    EXPECT_EQ(text(true, true, ""), active + noProcesses);
    EXPECT_EQ(text(false, true, "Keynote"), active + "Keynote");
    EXPECT_EQ(text(std::nullopt, true), active + noProcesses);
    EXPECT_EQ(text(std::nullopt, false), L10n::text("Wake requests are currently unavailable."));
    EXPECT_EQ(text(std::nullopt, std::nullopt),
              L10n::text("Wake requests are currently unavailable."));
    EXPECT_EQ(text(false, false, "ignored"),
              L10n::text("No requests preventing sleep were detected."));
    EXPECT_EQ(text(false, std::nullopt), L10n::text("No requests preventing sleep were detected."));
}

TEST(SettingsTexts, StatusLineShowsTheReadTimeOrTheError) {
    EXPECT_EQ(SettingsModel::statusLine(std::nullopt), L10n::text("Reading…"));
    SystemSettings settings = test::snapshot(5, 15, "Battery");
    settings.readAt = QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9));
    const QString time = QLocale().toString(QTime(14, 5, 9), QLocale::ShortFormat);
    EXPECT_EQ(SettingsModel::statusLine(settings), L10n::text({"Last updated {0}", {time}}));
    EXPECT_FALSE(time.contains("2026")); // the time of day only

    settings.error = "pmset: exit status 1";
    EXPECT_EQ(SettingsModel::statusLine(settings), "pmset: exit status 1");
}

TEST_F(SettingsTest, SystemSettingsOpensTheApplicationOrTheSimulatedMac) {
    model.openSystemSettings();
    ASSERT_EQ(opened.size(), 1);
#ifdef Q_OS_MACOS
    EXPECT_EQ(opened.first().toLocalFile(), "/System/Applications/System Settings.app");
#else
    EXPECT_EQ(opened.first().toLocalFile(), simulatorHome());
#endif
    EXPECT_TRUE(model.openFailure().isEmpty());

    // When nothing opens it, the window says so, and where the simulated Mac's folder is.
    opens = false;
    model.openSystemSettings();
#ifndef Q_OS_MACOS
    EXPECT_TRUE(model.openFailure().contains(QDir::toNativeSeparators(simulatorHome())));
#endif
    EXPECT_FALSE(model.openFailure().isEmpty());
    opens = true;
    model.openSystemSettings();
    EXPECT_TRUE(model.openFailure().isEmpty());
}
