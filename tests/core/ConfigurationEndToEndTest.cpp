// The configuration engine end to end: the real backend, transaction and session store against
// the simulated Mac's stand-in pmset and osascript programs, real files and real processes.
#include "Configuration/ConfigurationTransaction.h"
#include "Configuration/MacConfigurationService.h"
#include "Configuration/NativeConfigurationBackend.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "SimulatorState.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct ConfigurationEndToEnd : ::testing::Test {
    QTemporaryDir simHome;
    QTemporaryDir dataHome;
    void SetUp() override {
        qputenv("NORVANE_SIM_HOME", simHome.path().toUtf8());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        sim::SimulatorState::reset(simHome.path());
    }
    [[nodiscard]] std::optional<QVariant> screenSaver() const {
        return SimulatedHostPreferences(simHome.path())
            .copyValue("idleTime", "com.apple.screensaver");
    }
    [[nodiscard]] sim::SimulatorState state() const {
        return sim::SimulatorState::load(simHome.path());
    }
    void change(const std::function<void(sim::SimulatorState &)> &edit) {
        auto current = state();
        edit(current);
        current.save(simHome.path());
    }
    [[nodiscard]] int runs(const QString &tool, bool privileged = false) const {
        const auto all = sim::invocations(simHome.path());
        return int(std::count_if(all.cbegin(), all.cend(), [&](const sim::Invocation &run) {
            return run.tool == tool && run.privileged == privileged;
        }));
    }
    static MacConfiguration apply(const Profile &profile) {
        return ConfigurationTransaction(std::make_shared<NativeConfigurationBackend>())
            .apply(profile);
    }
};

} // namespace

TEST_F(ConfigurationEndToEnd, ApplyingFocusChangesEverySourceAndTheScreenSaver) {
    change([](sim::SimulatorState &s) {
        s.ups = sim::SimulatorState::factorySettings(sim::Source::ups);
    });
    const MacConfiguration after = apply(Profile::focus());
    EXPECT_EQ(after, (MacConfiguration{{{"-b", 0, 0}, {"-c", 0, 0}, {"-u", 0, 0}}, 0}));
    const auto mac = state();
    for (const auto &source : {mac.battery, mac.adapter, mac.ups}) {
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->number("displaysleep"), 0);
        EXPECT_EQ(source->number("sleep"), 0);
    }
    EXPECT_EQ(screenSaver(), QVariant(qint64(0)));
    EXPECT_EQ(sim::notifications(simHome.path()), QStringList{"com.apple.screensaver.didchange"});
    EXPECT_EQ(runs("osascript"), 1) << "one authorization for all sources";
    EXPECT_EQ(runs("pmset", true), 3);
}

// pmset warns when the display stays on longer than the Mac stays awake; the write holds.
TEST_F(ConfigurationEndToEnd, AWriteThatPmsetWarnsOfIsApplied) {
    const Profile late("late", "Late", ProfileIcon::sliders, 30, 10, 600, 0);
    EXPECT_EQ(apply(late), (MacConfiguration{{{"-b", 30, 10}, {"-c", 30, 10}}, 600}));
    EXPECT_EQ(state().adapter->number("displaysleep"), 30);
}

// Whatever the Mac refuses, its settings end as they were and the error says why.
TEST_F(ConfigurationEndToEnd, ARefusingMacIsLeftAsItWas) {
    const QString rolledBack =
        L10n::text({"Could not apply settings. The previous settings were restored.\n{0}",
                    {L10n::text("The saved settings do not match the requested values. A "
                                "management policy may restrict changes.")}});
    const std::function<void(sim::SimulatorState &)> refusals[] = {
        [](sim::SimulatorState &s) { s.authorization = sim::Authorization::cancel; },
        [](sim::SimulatorState &s) { s.policyLockedSettings = {"sleep"}; },
        [](sim::SimulatorState &s) {
            s.privilegedFailure = {"disk is read-only", {}, -1};
        },
        [](sim::SimulatorState &s) { s.failingQueries = {"custom"}; }};
    const QString expected[] = {
        L10n::text("Administrator authorization was cancelled. No new settings were applied."),
        rolledBack, "disk is read-only", L10n::text("Could not read pmset settings.")};
    for (int row = 0; row < 4; ++row) {
        sim::SimulatorState::reset(simHome.path());
        change(refusals[row]);
        const sim::SimulatorState before = state();
        const std::optional<QVariant> screenSaverBefore = screenSaver();
        const QString error = test::errorTextFrom([] { (void)apply(Profile::focus()); });
        EXPECT_TRUE(error.contains(expected[row])) << row << ": " << error.toStdString();
        EXPECT_EQ(state().battery, before.battery) << row;
        EXPECT_EQ(state().adapter, before.adapter) << row;
        EXPECT_EQ(screenSaver(), screenSaverBefore) << row;
    }
}

TEST(ConfigurationService, RunsOffTheCallingThreadAndDeliversTheError) {
    QThread *ranOn = QThread::currentThread();
    MacConfigurationService service([&]() -> std::shared_ptr<ConfigurationBackend> {
        ranOn = QThread::currentThread();
        throw ConfigurationError::cancelled();
    });
    QFuture<void> future = service.apply(Profile::focus());
    test::waitFor(future);
    EXPECT_NE(ranOn, QThread::currentThread());
    EXPECT_TRUE(test::configurationErrorFrom([&] { future.waitForFinished(); }).isCancelled());
}

// The whole core without a window, with the library's edited Normal as the return profile.
TEST_F(ConfigurationEndToEnd, TimedProfileReturnsToTheLibrarysNormal) {
    ProfileLibrary library(std::make_shared<FileProfileStorage>());
    Profile normal = library.normal();
    normal.displayMinutes = 7;
    normal.sleepMinutes = 21;
    normal.screenSaverSeconds = 420;
    library.save(normal);
    QDateTime clock = QDateTime::currentDateTime();
    SessionStore store(
        nullptr, [&] { return clock; }, [&] { return library.normal(); });
    int changes = 0;
    store.onChange = [&] { ++changes; };
    test::waitFor(store.activate(Profile::focus(), 1, clock));
    ASSERT_FALSE(store.errorMessage()) << store.errorMessage()->toStdString();
    ASSERT_TRUE(store.session().deadline);
    EXPECT_EQ(NativeConfigurationBackend().read(),
              (MacConfiguration{{{"-b", 0, 0}, {"-c", 0, 0}}, 0}));
    const int changesBeforeReturn = changes;
    clock = store.session().deadline->addSecs(1);
    store.tick(clock);
    // The return runs as its own task; wait until the store reports its outcome.
    while (changes < changesBeforeReturn + 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_FALSE(store.errorMessage());
    EXPECT_EQ(store.profile(), library.normal());
    EXPECT_EQ(NativeConfigurationBackend().read(),
              (MacConfiguration{{{"-b", 7, 21}, {"-c", 7, 21}}, 420}));
}
