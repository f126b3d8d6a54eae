// Rules end to end on the simulated Mac while Pellor runs: the machine goes on battery (its state
// file edited, as a person does), the battery rule applies its profile through the verified
// transaction and says so in the session record; back on the adapter, the profile before it
// returns. And the person's own choice is not undone.
#include "Rules/RuleSwitcher.h"

#include "Configuration/MacConfigurationService.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Sessions/SessionRecord.h"
#include "Sessions/SessionStore.h"
#include "SimulatedMacHome.h"
#include "Worlds/MacWorld.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct RuleSwitcherTest : ::testing::Test {
    test::SimulatedMacHome home;
    QDateTime clock = QDateTime::currentDateTime();
    QTemporaryDir folder;
    std::shared_ptr<const World> world =
        std::make_shared<MacWorld>(Platform::system(), SystemIdentity::simulated());
    ProfileLibrary library{std::make_shared<FileProfileStorage>(folder.filePath("profiles.json"))};
    RuleBook book{folder.filePath("rules.json")};
    std::shared_ptr<SessionRecord> record =
        std::make_shared<SessionRecord>(folder.filePath("session.json"), "simulated");
    SessionStore store{
        std::make_shared<MacConfigurationService>([this] { return world->configurationBackend(); }),
        {},
        [this] { return library.normal(); }};

    void SetUp() override {
        store.takeTurnsWith(std::make_shared<WriterLock>(folder.filePath("writer.lock")));
        store.keepSessionsIn(record);
        book.add(Rule{"on-battery", {Condition::Kind::battery, 0, {}, {}, {}, {}}, "vibe", true});
    }
    // Goes on battery or back on the adapter, more than the power source's settling time after
    // the last change (the switcher's clock is the test's).
    void unplug(bool onBattery) {
        clock = clock.addSecs(RuleEngine::kSourceSettleSeconds + 1);
        home.change([onBattery](sim::SimulatorState &state) {
            state.providing = onBattery ? sim::Source::battery : sim::Source::adapter;
        });
    }
    // Runs the event loop until the store has applied `profile`.
    void waitForProfile(const QString &profile) {
        QEventLoop loop;
        store.onChange = [&] {
            if (!store.isApplying() && store.profile().id == profile)
                loop.quit();
        };
        QTimer::singleShot(60'000, &loop, [&] {
            ADD_FAILURE() << "never applied " << profile.toStdString();
            loop.quit();
        });
        if (store.isApplying() || store.profile().id != profile)
            loop.exec();
        store.onChange = {};
    }
};

} // namespace

TEST_F(RuleSwitcherTest, TheBatteryRuleAppliesOnBatteryAndTheAdapterGivesBackWhatWasBefore) {
    RuleSwitcher switcher(store, library, book, {world, [this] { return clock; }});
    switcher.start(false);
    unplug(true);
    waitForProfile("vibe");
    EXPECT_EQ(home.state().battery->number("displaysleep"), 0) << "Vibe's, verified";
    ASSERT_TRUE(record->load()->rule);
    EXPECT_EQ(record->load()->rule->description, "On battery");

    unplug(false);
    waitForProfile("normal");
    EXPECT_FALSE(store.session().rule);

    // The person's own choice pauses the rules until the battery rule next starts to hold.
    QEventLoop applied;
    store.onChange = [&] {
        if (!store.isApplying())
            applied.quit();
    };
    (void)store.activate(Profile::focus(), 0, QDateTime::currentDateTime());
    applied.exec();
    store.onChange = {};
    unplug(true);
    waitForProfile("vibe");
    unplug(false);
    waitForProfile("focus");
}

// What the switcher tells the application: a failed switch with its rule and why, the same switch
// carried out by Try Again with the profile before it, and the return told by the rule that ended.
TEST_F(RuleSwitcherTest, ItTellsEachSwitchWithItsRuleAndTheProfileBeforeIt) {
    RuleSwitcher switcher(store, library, book, {world, [this] { return clock; }});
    struct Report {
        RuleSwitch change;
        std::optional<QString> failure;
    };
    const auto nextReport = [&switcher] {
        Report report;
        QEventLoop loop;
        QObject::connect(&switcher, &RuleSwitcher::switched, &loop, [&](const RuleSwitch &change) {
            report = {change, std::nullopt};
            loop.quit();
        });
        QObject::connect(&switcher, &RuleSwitcher::switchFailed, &loop,
                         [&](const RuleSwitch &change, const QString &message) {
                             report = {change, message};
                             loop.quit();
                         });
        QTimer::singleShot(60'000, &loop, [&] {
            ADD_FAILURE() << "the switcher told nothing";
            loop.quit();
        });
        loop.exec();
        return report;
    };
    const auto authorize = [this](sim::Authorization answer) {
        home.change([answer](sim::SimulatorState &state) { state.authorization = answer; });
    };
    switcher.start(false);
    authorize(sim::Authorization::cancel);
    unplug(true);
    Report report = nextReport();
    ASSERT_TRUE(report.change.rule && report.failure);
    EXPECT_EQ(report.change.rule->id, "on-battery");
    EXPECT_EQ(report.change.profileId, "vibe");

    authorize(sim::Authorization::allow);
    switcher.retry();
    const std::tuple<bool, const char *, const char *> expected[] = {
        {false, "vibe", "normal"}, // Try Again
        {true, "normal", "vibe"},  // back on the adapter
    };
    for (const auto &[returned, profile, before] : expected) {
        report = nextReport();
        SCOPED_TRACE(profile);
        EXPECT_FALSE(report.failure);
        ASSERT_TRUE(report.change.rule);
        EXPECT_EQ(report.change.rule->id, "on-battery");
        EXPECT_EQ(report.change.returned, returned);
        EXPECT_EQ(report.change.profileId, profile);
        EXPECT_EQ(report.change.previousProfileId, before);
        unplug(false);
    }
}
