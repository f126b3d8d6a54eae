// The configuration engine end to end: the real backend and transaction against the simulated
// Mac's stand-in pmset and osascript programs, real files and real processes.
#include "Configuration/ConfigurationError.h"
#include "Configuration/ConfigurationTransaction.h"
#include "Configuration/MacConfigurationService.h"
#include "Configuration/NativeConfigurationBackend.h"
#include "Localization/L10n.h"
#include "SimulatorState.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QSemaphore>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using sim::Source;
using test::errorTextFrom;

namespace {

struct ConfigurationEndToEnd : ::testing::Test {
    QTemporaryDir simHome;
    QTemporaryDir dataHome;

    void SetUp() override {
        qputenv("NORVANE_SIM_HOME", simHome.path().toUtf8());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        sim::SimulatorState::reset(simHome.path());
        setScreenSaver(600);
    }

    void setScreenSaver(std::optional<qint64> seconds) {
        SimulatedHostPreferences preferences(simHome.path());
        preferences.setValue("idleTime",
                             seconds ? std::optional<QVariant>(seconds.value()) : std::nullopt,
                             "com.apple.screensaver");
        ASSERT_TRUE(preferences.synchronize("com.apple.screensaver"));
    }
    [[nodiscard]] sim::SimulatorState state() const {
        return sim::SimulatorState::load(simHome.path());
    }
    void change(const std::function<void(sim::SimulatorState &)> &edit) {
        auto current = state();
        edit(current);
        current.save(simHome.path());
    }
    [[nodiscard]] QString backupPath() const {
        return dataHome.filePath("Norvane/original-settings.json");
    }

    [[nodiscard]] int runs(const QString &tool, const QStringList &arguments = {},
                           bool privileged = false) const {
        const auto all = sim::invocations(simHome.path());
        return int(std::count_if(all.cbegin(), all.cend(), [&](const sim::Invocation &run) {
            return run.tool == tool && run.privileged == privileged &&
                   (arguments.isEmpty() || run.arguments.mid(0, arguments.size()) == arguments);
        }));
    }
    [[nodiscard]] int queries() const { return runs("pmset", {"-g", "custom"}); }
    [[nodiscard]] int privilegedRuns() const { return runs("pmset", {}, true); }

    static MacConfiguration apply(const Profile &profile) {
        return ConfigurationTransaction(std::make_shared<NativeConfigurationBackend>())
            .apply(profile);
    }
    static MacConfiguration restore() {
        return ConfigurationTransaction(std::make_shared<NativeConfigurationBackend>()).restore();
    }
};

qint64 setting(const std::optional<sim::PowerSettings> &settings, const char *name) {
    return settings ? settings->number(name).value_or(-99) : -98;
}

} // namespace

TEST_F(ConfigurationEndToEnd, ApplyingFocusChangesEverySourceAndTheScreenSaver) {
    change(
        [](sim::SimulatorState &s) { s.ups = sim::SimulatorState::factorySettings(Source::ups); });

    const MacConfiguration after = apply(Profile::focus());

    EXPECT_EQ(after, (MacConfiguration{{{"-b", 0, 0}, {"-c", 0, 0}, {"-u", 0, 0}}, 0}));
    const auto mac = state();
    for (const auto &source : {mac.battery, mac.adapter, mac.ups}) {
        EXPECT_EQ(setting(source, "displaysleep"), 0);
        EXPECT_EQ(setting(source, "sleep"), 0);
    }
    EXPECT_EQ(
        SimulatedHostPreferences(simHome.path()).copyValue("idleTime", "com.apple.screensaver"),
        QVariant(qint64(0)));
    EXPECT_EQ(sim::notifications(simHome.path()), QStringList{"com.apple.screensaver.didchange"});
    EXPECT_EQ(queries(), 3) << "before, inside the write, after";
    EXPECT_EQ(runs("osascript"), 1) << "one authorization for all sources";
    EXPECT_EQ(privilegedRuns(), 3);
}

TEST_F(ConfigurationEndToEnd, ApplyEqualToTheCurrentStateRunsOneQueryAndNoCommand) {
    change([](sim::SimulatorState &s) {
        for (auto *source : {&s.battery, &s.adapter}) {
            (*source)->set("displaysleep", 5);
            (*source)->set("sleep", 15);
        }
    });
    setScreenSaver(300);
    (void)apply(Profile::normal());
    EXPECT_EQ(queries(), 1);
    EXPECT_EQ(runs("osascript"), 0);
    EXPECT_TRUE(QFileInfo::exists(backupPath())) << "the first apply always leaves a backup";
}

TEST_F(ConfigurationEndToEnd, ScreenSaverOnlyChangeAsksForNoAuthorization) {
    change([](sim::SimulatorState &s) {
        for (auto *source : {&s.battery, &s.adapter}) {
            (*source)->set("displaysleep", 5);
            (*source)->set("sleep", 0);
        }
    });
    (void)apply(Profile::download());
    EXPECT_EQ(runs("osascript"), 0);
    EXPECT_EQ(
        SimulatedHostPreferences(simHome.path()).copyValue("idleTime", "com.apple.screensaver"),
        QVariant(qint64(300)));
}

TEST_F(ConfigurationEndToEnd, CancelledAuthorizationLeavesEverythingAsBefore) {
    change([](sim::SimulatorState &s) { s.authorization = sim::Authorization::cancel; });
    const auto before = state();

    const ConfigurationError error =
        test::configurationErrorFrom([] { (void)apply(Profile::focus()); });
    EXPECT_TRUE(error.isCancelled());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(privilegedRuns(), 0);
    EXPECT_TRUE(sim::notifications(simHome.path()).isEmpty());
}

TEST_F(ConfigurationEndToEnd, PolicyKeptSleepIsRolledBackToTheOldValues) {
    change([](sim::SimulatorState &s) { s.policyLockedSettings = {"sleep"}; });
    const auto before = state();

    const QString policy = L10n::text(
        "The saved settings do not match the requested values. A management policy may restrict changes.");
    EXPECT_EQ(errorTextFrom([] { (void)apply(Profile::focus()); }),
              L10n::text({"Could not apply settings. The previous settings were restored.\n{0}",
                          {policy}}));
    EXPECT_EQ(state().battery, before.battery);
    EXPECT_EQ(state().adapter, before.adapter);
    EXPECT_EQ(
        SimulatedHostPreferences(simHome.path()).copyValue("idleTime", "com.apple.screensaver"),
        QVariant(qint64(600)));
    EXPECT_EQ(runs("osascript"), 2) << "the write and the rollback";
}

TEST_F(ConfigurationEndToEnd, FailingPrivilegedCommandReportsItsMessage) {
    change([](sim::SimulatorState &s) {
        s.privilegedFailure = sim::PrivilegedFailure{"disk is read-only", {}, -1};
    });
    const QString text = errorTextFrom([] { (void)apply(Profile::focus()); });
    EXPECT_TRUE(text.startsWith(L10n::text({"Could not save power settings: {0}", {""}})))
        << text.toStdString();
    EXPECT_TRUE(text.contains("disk is read-only")) << text.toStdString();
}

TEST_F(ConfigurationEndToEnd, BackupIsWrittenOnceFromTheFirstSettingsAndRestoredExactly) {
    const MacConfiguration first = NativeConfigurationBackend().read();
    (void)apply(Profile::focus());
    EXPECT_EQ(test::posixMode(backupPath()), 0600);
    EXPECT_EQ(test::posixMode(QFileInfo(backupPath()).absolutePath()), 0700);
    const QString bytes = test::readTextFile(backupPath());

    (void)apply(Profile::download());
    EXPECT_EQ(test::readTextFile(backupPath()), bytes) << "byte for byte";

    EXPECT_EQ(restore(), first);
    EXPECT_EQ(NativeConfigurationBackend().read(), first);
    EXPECT_EQ(test::readTextFile(backupPath()), bytes) << "restore leaves the backup in place";
}

TEST_F(ConfigurationEndToEnd, RestoreAfterAUpsWasConnectedKeepsTheUpsSettings) {
    const MacConfiguration first = NativeConfigurationBackend().read();
    (void)apply(Profile::focus());
    change([](sim::SimulatorState &s) {
        s.ups = sim::SimulatorState::factorySettings(Source::ups);
        s.ups->set("displaysleep", 7);
    });

    MacConfiguration expected = first;
    expected.sources << PowerSourceConfiguration{"-u", 7, 1};
    EXPECT_EQ(restore(), expected);
    EXPECT_EQ(setting(state().battery, "displaysleep"), 2);
    EXPECT_EQ(setting(state().adapter, "displaysleep"), 10);
    EXPECT_EQ(setting(state().ups, "displaysleep"), 7);
}

TEST_F(ConfigurationEndToEnd, RestoreAfterAUpsWasRemovedRestoresTheRestAndNamesIt) {
    change(
        [](sim::SimulatorState &s) { s.ups = sim::SimulatorState::factorySettings(Source::ups); });
    const MacConfiguration first = NativeConfigurationBackend().read();
    (void)apply(Profile::focus());
    change([](sim::SimulatorState &s) { s.ups.reset(); });

    EXPECT_EQ(
        errorTextFrom([] { (void)restore(); }),
        L10n::text(
            {"The original settings for “{0}” could not be restored because this Mac no longer has this power source.",
             {L10n::text("UPS power")}}));
    EXPECT_EQ(NativeConfigurationBackend().read(),
              (MacConfiguration{first.sources.mid(0, 2), first.screenSaverSeconds}));
}

TEST_F(ConfigurationEndToEnd, BackupWithoutScreenSaverRemovesTheStoredValue) {
    setScreenSaver(std::nullopt);
    (void)apply(Profile::normal());
    EXPECT_FALSE(test::readTextFile(backupPath()).contains("screenSaverSeconds"));
    const int notificationsBefore = int(sim::notifications(simHome.path()).size());

    (void)restore();
    EXPECT_EQ(
        SimulatedHostPreferences(simHome.path()).copyValue("idleTime", "com.apple.screensaver"),
        std::nullopt);
    EXPECT_EQ(sim::notifications(simHome.path()).size(), notificationsBefore + 1);
}

TEST_F(ConfigurationEndToEnd, HostileValuesNeverReachAProcess) {
    NativeConfigurationBackend backend;
    for (const PowerSourceConfiguration &bad : QList<PowerSourceConfiguration>{
             {"-b; touch /tmp/pwned", 1, 1}, {"-b", -1, 5}, {"-c", 5, 1441}})
        EXPECT_EQ(errorTextFrom([&] {
                      backend.write(MacConfiguration{{bad}, 600});
                  }),
                  L10n::text("Settings are outside the supported range. No command was run."));
    EXPECT_EQ(runs("osascript"), 0);
    EXPECT_EQ(privilegedRuns(), 0);

    Profile invalid = Profile::vibe();
    invalid.sleepMinutes = -1;
    EXPECT_THROW((void)apply(invalid), ConfigurationError);
    EXPECT_EQ(runs("osascript"), 0);
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
}

TEST_F(ConfigurationEndToEnd, FailingQueryStopsTheApplyBeforeAnything) {
    change([](sim::SimulatorState &s) { s.failingQueries = {"custom"}; });
    EXPECT_EQ(errorTextFrom([] { (void)apply(Profile::focus()); }),
              L10n::text("Could not read pmset settings."));
    EXPECT_EQ(runs("osascript"), 0);
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
}

TEST(ConfigurationService, RunsOffTheCallingThreadAndDeliversTheError) {
    // A backend whose read blocks until the test lets it go, like an open authorization dialog.
    struct BlockingBackend : ConfigurationBackend {
        QSemaphore *entered;
        QSemaphore *release;
        MacConfiguration read() override {
            entered->release();
            release->acquire();
            throw ConfigurationError::cancelled();
        }
        void saveOriginalIfNeeded(const MacConfiguration &) override {}
        MacConfiguration loadOriginal() override { return {}; }
        void write(const MacConfiguration &) override {}
    };
    QSemaphore entered, release;
    MacConfigurationService service([&] {
        auto backend = std::make_shared<BlockingBackend>();
        backend->entered = &entered;
        backend->release = &release;
        return backend;
    });

    QFuture<void> future = service.apply(Profile::focus());
    entered.acquire(); // the transaction is waiting on its background thread...
    bool mainThreadRan = false;
    QMetaObject::invokeMethod(
        qApp, [&] { mainThreadRan = true; }, Qt::QueuedConnection);
    test::processQueuedEvents();
    EXPECT_TRUE(mainThreadRan) << "...while the main thread goes on";
    EXPECT_FALSE(future.isFinished());

    release.release();
    test::waitFor(future);
    try {
        future.waitForFinished();
        ADD_FAILURE() << "the error was lost";
    } catch (const ConfigurationError &error) {
        EXPECT_TRUE(error.isCancelled());
    }
}
