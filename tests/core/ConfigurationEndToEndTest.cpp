// The configuration engine end to end: the real backend and transaction against the simulated
// Mac's stand-in pmset and osascript programs, real files and real processes (pellorctl's
// LocalSession test runs the session store on them).
#include "Configuration/ConfigurationTransaction.h"
#include "Configuration/MacConfigurationService.h"
#include "Configuration/NativeConfigurationBackend.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "SimulatedMacHome.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct ConfigurationEndToEnd : ::testing::Test {
    test::SimulatedMacHome home;
    QTemporaryDir dataHome;
    test::ScopedVariable data{"XDG_DATA_HOME", dataHome.path().toUtf8()};
    [[nodiscard]] int runs(const QString &tool, bool privileged = false) const {
        const auto all = sim::invocations(home.path());
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
    home.change([](sim::SimulatorState &s) {
        s.ups = sim::SimulatorState::factorySettings(sim::Source::ups);
    });
    const MacConfiguration after = apply(Profile::focus());
    EXPECT_EQ(after, (MacConfiguration{{{"-b", 0, 0}, {"-c", 0, 0}, {"-u", 0, 0}}, 0}));
    const auto mac = home.state();
    for (const auto &source : {mac.battery, mac.adapter, mac.ups}) {
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->number("displaysleep"), 0);
        EXPECT_EQ(source->number("sleep"), 0);
    }
    EXPECT_EQ(home.storedScreenSaver(), QVariant(qint64(0)));
    EXPECT_EQ(sim::notifications(home.path()), QStringList{"com.apple.screensaver.didchange"});
    EXPECT_EQ(runs("osascript"), 1) << "one authorization for all sources";
    EXPECT_EQ(runs("pmset", true), 3);
}

// pmset warns when the display stays on longer than the Mac stays awake; the write holds.
TEST_F(ConfigurationEndToEnd, AWriteThatPmsetWarnsOfIsApplied) {
    const Profile late("late", "Late", ProfileIcon::sliders, 30, 10, 600, 0);
    EXPECT_EQ(apply(late), (MacConfiguration{{{"-b", 30, 10}, {"-c", 30, 10}}, 600}));
    EXPECT_EQ(home.state().adapter->number("displaysleep"), 30);
}

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
        sim::SimulatorState::reset(home.path());
        home.change(refusals[row]);
        const sim::SimulatorState before = home.state();
        const std::optional<QVariant> screenSaverBefore = home.storedScreenSaver();
        const QString error = test::errorTextFrom([] { (void)apply(Profile::focus()); });
        EXPECT_TRUE(error.contains(expected[row])) << row << ": " << error.toStdString();
        EXPECT_EQ(home.state().battery, before.battery) << row;
        EXPECT_EQ(home.state().adapter, before.adapter) << row;
        EXPECT_EQ(home.storedScreenSaver(), screenSaverBefore) << row;
    }
}

TEST(ConfigurationService, RunsOffTheCallingThreadAndDeliversTheError) {
    QThread *ranOn = QThread::currentThread();
    MacConfigurationService service([&]() -> std::shared_ptr<ConfigurationBackend> {
        ranOn = QThread::currentThread();
        throw ConfigurationError::cancelled();
    });
    QFuture<void> future = service.apply(Profile::focus(), BackupSource::settingsInEffect);
    test::waitFor(future);
    EXPECT_NE(ranOn, QThread::currentThread());
    EXPECT_TRUE(test::configurationErrorFrom([&] { future.waitForFinished(); }).isCancelled());
}
