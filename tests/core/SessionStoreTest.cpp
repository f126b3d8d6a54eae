// The session store's states, notices, timer and automatic return, over a configuration service
// whose completions the test drives with promises, and a clock the test sets.
#include "Sessions/SessionStore.h"

#include "Configuration/ConfigurationError.h"
#include "ControlledConfiguring.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

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
    static void settle(QFuture<void> future = {}) {
        if (future.isValid())
            test::waitFor(future);
        test::processQueuedEvents();
    }
    void activateAndSucceed(const Profile &profile, std::optional<qint64> minutes = std::nullopt,
                            std::optional<QDateTime> at = std::nullopt) {
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

TEST_F(SessionStoreTest, CancellationKeepsTheAppliedStateAndOtherFailuresDropIt) {
    activateAndSucceed(Profile::vibe());
    QFuture<void> cancelled = store.activate(Profile::focus(), std::nullopt, clock);
    service->fail(ConfigurationError::cancelled());
    settle(cancelled);
    EXPECT_TRUE(store.hasAppliedProfile());
    EXPECT_EQ(store.notice(), L10n::text("Cancelled. System settings are unchanged."));
    EXPECT_EQ(store.errorMessage(), ConfigurationError::cancelled().errorDescription());
    QFuture<void> failed = store.activate(Profile::focus(), std::nullopt, clock);
    service->fail(PlatformError("pmset exploded"));
    settle(failed);
    EXPECT_FALSE(store.hasAppliedProfile());
    EXPECT_EQ(store.profile(), Profile::vibe()) << "the session itself is kept";
    EXPECT_EQ(
        store.notice(),
        L10n::text("Could not confirm that settings were applied. Check the current settings."));
    EXPECT_EQ(store.errorMessage(), "pmset exploded");
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

TEST_F(SessionStoreTest, RestoreReturnsToTheFactoryNormalOrReportsIncompleteness) {
    activateAndSucceed(Profile::focus());
    QFuture<void> restored = store.restoreOriginal();
    service->succeed();
    settle(restored);
    EXPECT_EQ(store.profile(), Profile::normal()) << "the factory preset, not the edited one";
    EXPECT_FALSE(store.hasAppliedProfile());

    activateAndSucceed(Profile::vibe());
    QFuture<void> failed = store.restoreOriginal();
    service->fail(ConfigurationError::cancelled());
    settle(failed);
    EXPECT_FALSE(store.hasAppliedProfile());
    EXPECT_EQ(store.notice(), L10n::text("Restoration is incomplete. Check the current settings."));
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
        QFuture<void> apply(const Profile &) override { throw PlatformError("no thread"); }
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
