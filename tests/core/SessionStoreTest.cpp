// The session store's states, notices, timer and automatic return, over a configuration service
// whose completions the test drives with promises, and a clock the test sets.
#include "Sessions/SessionStore.h"

#include "ControlledConfiguring.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Sessions/SessionRecord.h"
#include "TestSupport.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

struct SessionStoreTest : ::testing::Test {
    std::shared_ptr<test::ControlledConfiguring> service =
        std::make_shared<test::ControlledConfiguring>();
    QDateTime clock = kStart;
    Profile editedNormal{"normal", "Normal", ProfileIcon::leaf, 7, 17, 420, 0};
    SessionStore store{service, [this] { return clock; }, [this] { return editedNormal; }};
    int changes = 0;
    void SetUp() override {
        store.onChange = [this] { ++changes; };
    }

    // Lets the store's continuations and queued tasks run.
    static void settle(const QFuture<void> &future = {}) {
        if (future.isValid())
            test::waitFor(future);
        test::processQueuedEvents();
    }
    void activateAndSucceed(const Profile &profile, std::optional<qint64> minutes = std::nullopt,
                            const std::optional<QDateTime> &at = std::nullopt) {
        QFuture<void> done = store.activate(profile, minutes, at.value_or(clock));
        service->succeed();
        settle(done);
    }
};

} // namespace

TEST_F(SessionStoreTest, TimerStartsAtTheLaterOfRequestAndSuccessAndNeverForNormalOrZero) {
    EXPECT_EQ(store.timeLabel(), L10n::text("Using system settings"));
    QFuture<void> done = store.activate(Profile::focus(), std::nullopt, kStart);
    EXPECT_EQ(store.timeLabel(), L10n::text("Waiting for settings…"));
    EXPECT_EQ(changes, 1);
    clock = kStart.addSecs(40); // the user took 40 seconds in the dialog
    service->succeed();
    settle(done);
    EXPECT_EQ(store.session().deadline, kStart.addSecs(25 * 60 + 40));
    EXPECT_EQ(store.timeLabel(), "25:00");
    EXPECT_EQ(store.notice(), L10n::text({"Saved and verified macOS settings for {0}.",
                                          {Profile::focus().localizedTitle()}}));
    EXPECT_EQ(changes, 2);

    // The request time wins when the clock is earlier.
    activateAndSucceed(Profile::focus(), 10, clock.addSecs(5));
    EXPECT_EQ(store.session().deadline, kStart.addSecs(45 + 600));
    activateAndSucceed(Profile::normal(), 30);
    EXPECT_EQ(store.timeLabel(), L10n::text("Active indefinitely"));
    activateAndSucceed(Profile::presentation(), 0);
    EXPECT_FALSE(store.session().deadline);
}

TEST_F(SessionStoreTest, InvalidProfileOrMinutesAreRejectedAndTheLongestTimerIsLabelled) {
    Profile renamed = Profile::focus();
    renamed.title = "Renamed";
    const std::pair<Profile, qint64> rejected[] = {
        {renamed, 0}, {Profile::focus(), -1}, {Profile::focus(), 1441}};
    for (const auto &[profile, minutes] : rejected) {
        store.setErrorMessage(std::nullopt);
        (void)store.activate(profile, minutes, clock);
        EXPECT_TRUE(store.errorMessage());
        EXPECT_FALSE(store.isApplying());
    }
    EXPECT_EQ(store.errorMessage(),
              L10n::text("The automatic return time must be between 0 and 1440 minutes."));
    EXPECT_TRUE(service->applied.isEmpty());
    activateAndSucceed(Profile::focus(), 1440);
    EXPECT_EQ(store.timeLabel(), "24:00:00");
    // Seconds round up before the label chooses its form.
    store.tick(store.session().deadline->addMSecs(-3599200));
    EXPECT_EQ(store.timeLabel(), "1:00:00");
    store.tick(store.session().deadline->addSecs(-3599));
    EXPECT_EQ(store.timeLabel(), "59:59");
}

// A failure that left the settings as they were keeps the running session; only one that left
// them in doubt ends it. The same holds for a restore.
TEST_F(SessionStoreTest, FailuresKeepTheRunningSessionUnlessTheSettingsAreInDoubt) {
    const QString unchanged =
        L10n::text("Could not apply the profile. System settings are unchanged.");
    const QString restoreUnchanged =
        L10n::text("Could not restore the original settings. System settings are unchanged.");
    const QString cancelled = L10n::text("Cancelled. System settings are unchanged.");
    const struct {
        bool restore;
        std::exception_ptr error;
        bool kept;
        QString notice;
    } rows[] = {
        {false, std::make_exception_ptr(ConfigurationError::cancelled()), true, cancelled},
        {false, std::make_exception_ptr(PlatformError("pmset exploded")), true, unchanged},
        {false, std::make_exception_ptr(ConfigurationError::message("rolled back")), true,
         unchanged},
        {false, std::make_exception_ptr(ConfigurationError::settingsInDoubt("mixed")), false,
         L10n::text("Could not confirm that settings were applied. Check the current settings.")},
        {true, std::make_exception_ptr(ConfigurationError::cancelled()), true, cancelled},
        {true, std::make_exception_ptr(PlatformError("pmset exploded")), true, restoreUnchanged},
        {true, std::make_exception_ptr(ConfigurationError::settingsInDoubt("mixed")), false,
         L10n::text("Restoration is incomplete. Check the current settings.")},
    };
    for (const auto &row : rows) {
        activateAndSucceed(Profile::focus(), 5);
        const Session running = store.session();
        clock = clock.addSecs(60);
        QFuture<void> failed = row.restore
                                   ? store.restoreOriginal()
                                   : store.activate(Profile::download(), std::nullopt, clock);
        service->fail(row.error);
        settle(failed);
        SCOPED_TRACE(row.notice.toStdString());
        EXPECT_EQ(store.hasAppliedProfile(), row.kept);
        EXPECT_EQ(store.session(), running) << "the session record itself is never replaced";
        EXPECT_EQ(store.notice(), row.notice);
        EXPECT_EQ(store.errorMessage(),
                  test::errorTextFrom([&] { std::rethrow_exception(row.error); }));
        EXPECT_EQ(store.failedToRestore(), row.restore);
        store.tick(clock);
        if (row.kept)
            EXPECT_EQ(store.timeLabel(), "04:00") << "the timer goes on";
    }
}

TEST_F(SessionStoreTest, AutomaticReturnStartsOnceAtTheDeadlineAndACancelledOneIsNotRetried) {
    activateAndSucceed(Profile::focus());
    const QDateTime deadline = *store.session().deadline;
    store.tick(deadline.addSecs(-1));
    settle();
    EXPECT_EQ(store.timeLabel(), "00:01");
    store.tick(deadline);
    EXPECT_EQ(service->applied.size(), 1) << "tick itself never waits for the return";
    settle();
    ASSERT_EQ(service->applied.size(), 2);
    EXPECT_EQ(service->applied.last(), editedNormal);
    service->fail(ConfigurationError::cancelled());
    settle();
    store.tick(deadline.addSecs(30));
    settle();
    EXPECT_EQ(service->applied.size(), 2);
    EXPECT_EQ(store.timeLabel(), "00:00");
}

TEST_F(SessionStoreTest, AFailedReturnWaitsForTryAgainAndTheSessionAndTimerStay) {
    activateAndSucceed(Profile::focus());
    store.tick(*store.session().deadline);
    settle();
    service->fail(ConfigurationError::message("refused"));
    settle();
    EXPECT_EQ(store.returnFailure(), "refused");
    EXPECT_TRUE(store.hasAppliedProfile());
    store.tick(clock.addSecs(3600));
    settle();
    EXPECT_EQ(service->applied.size(), 2) << "nothing retries on its own";

    QFuture<void> retried = store.retryReturn();
    ASSERT_EQ(service->applied.size(), 3);
    EXPECT_EQ(service->applied.last(), editedNormal);
    service->succeed();
    settle(retried);
    EXPECT_FALSE(store.returnFailure());
    EXPECT_EQ(store.profile(), editedNormal);
    EXPECT_TRUE(store.retryReturn().isFinished()) << "nothing to retry any more";
}

TEST_F(SessionStoreTest, RequestsWhileApplyingAreDroppedAndWorkThatFailsToRunIsAFailure) {
    QFuture<void> first = store.activate(Profile::vibe(), std::nullopt, clock);
    const int changesBefore = changes;
    EXPECT_TRUE(store.activate(Profile::focus(), std::nullopt, clock).isFinished());
    EXPECT_TRUE(store.restoreOriginal().isFinished());
    EXPECT_EQ(changes, changesBefore);
    EXPECT_EQ(service->applied, QList<Profile>{Profile::vibe()});
    service->abandon(); // as a service torn down mid-way would
    settle(first);
    EXPECT_FALSE(store.isApplying());
    EXPECT_TRUE(store.errorMessage());

    class ThrowingService : public Configuring {
        QFuture<void> apply(const Profile &, BackupSource) override {
            throw PlatformError("no thread");
        }
        QFuture<void> restore() override { throw PlatformError("no thread"); }
    };
    SessionStore throwing(std::make_shared<ThrowingService>(), {},
                          [] { return Profile::normal(); });
    settle(throwing.activate(Profile::vibe(), std::nullopt, kStart));
    EXPECT_EQ(throwing.errorMessage(), "no thread");
}

TEST(SessionStoreLifetime, ServiceFinishingAfterTheStoreIsGoneReachesNothing) {
    auto service = std::make_shared<test::ControlledConfiguring>();
    int changes = 0;
    {
        SessionStore store(service, {}, [] { return Profile::normal(); });
        store.onChange = [&changes] { ++changes; };
        (void)store.activate(Profile::vibe(), std::nullopt, kStart);
    }
    const int changesWhileAlive = changes;
    service->succeed();
    test::processQueuedEvents();
    EXPECT_EQ(changes, changesWhileAlive);
}

TEST_F(SessionStoreTest, SessionsOutliveTheStoreAndOneThatRanOutMeanwhileReturnsAtTheFirstTick) {
    QTemporaryDir folder;
    const QString path = folder.filePath("Norvane/session.json");
    const auto record = std::make_shared<SessionRecord>(path, "simulated");
    const auto nextRun = [&] {
        auto next = std::make_unique<SessionStore>(
            service, [this] { return clock; }, [this] { return editedNormal; });
        next->keepSessionsIn(record);
        return next;
    };
    store.keepSessionsIn(record);
    activateAndSucceed(Profile::focus(), 2);
    EXPECT_EQ(test::posixMode(path), 0600);

    clock = clock.addSecs(60);
    const auto resumed = nextRun();
    EXPECT_TRUE(resumed->hasAppliedProfile());
    EXPECT_EQ(resumed->session(), store.session());
    EXPECT_EQ(resumed->timeLabel(), "01:00");

    clock = clock.addSecs(120);
    const auto late = nextRun();
    late->tick(clock);
    settle();
    service->succeed();
    settle();
    EXPECT_EQ(late->profile(), editedNormal);
    EXPECT_EQ(late->resumeNotice(),
              L10n::text({"{0} ran out while Pellor was closed, so {1} was applied.",
                          {Profile::focus().localizedTitle(), editedNormal.localizedTitle()}}));
    EXPECT_EQ(record->load()->profile, editedNormal);

    QFuture<void> restored = late->restoreOriginal();
    service->succeed();
    settle(restored);
    EXPECT_FALSE(record->load()) << "a restore leaves nothing applied";
    EXPECT_FALSE(late->hasAppliedProfile());
    EXPECT_EQ(late->profile(), Profile::normal()) << "the factory preset, not the edited one";

    // Another world's session, and a damaged record, are not this world's applied profile.
    SessionRecord(path, "gnome").save(store.session());
    EXPECT_FALSE(nextRun()->hasAppliedProfile());
    test::writeBytes(path, "{ damaged");
    EXPECT_FALSE(nextRun()->hasAppliedProfile());
}

// Another writer (pellorctl, another Pellor) holds the turn: the change waits, says so, reads
// nothing meanwhile, and goes ahead once the turn is free, or gives up after the bound with
// nothing changed. Once a profile of Pellor's is in effect, a missing backup is made from the
// system's defaults.
TEST_F(SessionStoreTest, AChangeWaitsForAnotherWritersTurnAndGivesUpAfterTheBound) {
    QTemporaryDir folder;
    const QString lockFile = folder.filePath("writer.lock");
    std::unique_ptr<WriterLock::Hold> other = WriterLock(lockFile).tryTake();
    ASSERT_TRUE(other);
    // The turn is taken off this thread; the service is called once it is.
    const auto untilServiceCalled = [this] {
        if (service->pending())
            return;
        QEventLoop loop;
        service->onStart = [&] { loop.quit(); };
        loop.exec();
        service->onStart = {};
    };

    store.takeTurnsWith(std::make_shared<WriterLock>(lockFile, std::chrono::minutes(1)));
    QFuture<void> done = store.activate(Profile::vibe(), std::nullopt, kStart);
    EXPECT_TRUE(store.isWaitingForTurn());
    EXPECT_EQ(store.notice(), L10n::text("Waiting for another change to finish…"));
    EXPECT_TRUE(service->applied.isEmpty()) << "nothing read or written before its turn";
    other.reset();
    untilServiceCalled();
    EXPECT_EQ(
        store.notice(),
        L10n::text(
            "Saving macOS settings. Complete authorization in the system dialog if prompted."))
        << "the change's own notice again";
    service->succeed();
    settle(done);
    EXPECT_EQ(store.profile(), Profile::vibe());
    done = store.activate(Profile::focus(), std::nullopt, kStart);
    untilServiceCalled();
    service->succeed();
    settle(done);
    EXPECT_EQ(service->backups,
              QList({BackupSource::settingsInEffect, BackupSource::systemDefaults}));

    other = WriterLock(lockFile).tryTake();
    store.takeTurnsWith(std::make_shared<WriterLock>(lockFile, std::chrono::milliseconds(0)));
    settle(store.activate(Profile::normal(), std::nullopt, kStart));
    EXPECT_EQ(store.errorMessage(),
              L10n::text("Another change is under way, so Pellor changed nothing. Try again when "
                         "it has finished."));
    EXPECT_EQ(service->applied.size(), 2);
    EXPECT_EQ(store.profile(), Profile::focus()) << "the session goes on";
    EXPECT_FALSE(store.isApplying());
}
