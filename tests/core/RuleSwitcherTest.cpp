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

// The administrator's rules go before the person's, and change while Pellor runs: once the
// managed battery rule is gone, the person's own acts again.
TEST_F(RuleSwitcherTest, TheAdministratorsRulesComeFirstAndFollowTheFolderWhilePellorRuns) {
    RuleSwitcher switcher(store, library, book, {world, [this] { return clock; }});
    switcher.administer(
        {Rule{"managed", {Condition::Kind::battery, 0, {}, {}, {}, {}}, "presentation", true}},
        true);
    switcher.start(false);
    for (const char *expected : {"presentation", "vibe"}) {
        unplug(true);
        waitForProfile(expected);
        unplug(false);
        waitForProfile("normal");
        switcher.administer({}, true);
    }
}

// What the switcher tells the application: a failed switch with its rule, Try Again carrying it
// out with the profile before it, and the return told by the rule that ended.
TEST_F(RuleSwitcherTest, ItTellsEachSwitchWithItsRuleAndTheProfileBeforeIt) {
    RuleSwitcher switcher(store, library, book, {world, [this] { return clock; }});
    QStringList told;
    QObject::connect(&switcher, &RuleSwitcher::switched, [&](const RuleSwitch &change) {
        told << QString("%1 %2: %3 after %4")
                    .arg(change.rule->id, change.returned ? "returned" : "applied",
                         change.profileId, change.previousProfileId);
    });
    QObject::connect(&switcher, &RuleSwitcher::switchFailed,
                     [&](const RuleSwitch &change, const QString &) {
                         told << change.rule->id + " failed: " + change.profileId;
                     });
    const auto authorize = [this](sim::Authorization answer) {
        home.change([answer](sim::SimulatorState &state) { state.authorization = answer; });
    };
    switcher.start(false);
    authorize(sim::Authorization::cancel);
    unplug(true);
    QEventLoop loop;
    QObject::connect(&switcher, &RuleSwitcher::switchFailed, &loop, &QEventLoop::quit);
    loop.exec();
    authorize(sim::Authorization::allow);
    switcher.retry();
    waitForProfile("vibe");
    unplug(false);
    waitForProfile("normal");
    QObject::connect(&switcher, &RuleSwitcher::switched, &loop, &QEventLoop::quit);
    if (told.size() < 3)
        loop.exec(); // the switch is told once the store has recorded it
    EXPECT_EQ(told, (QStringList{"on-battery failed: vibe", "on-battery applied: vibe after normal",
                                 "on-battery returned: normal after vibe"}));

    // A timed profile of the person's runs out while the battery rule holds: the rule takes over
    // from it, and that is told too.
    unplug(true);
    waitForProfile("vibe");
    (void)store.activate(Profile::focus(), 1, clock);
    waitForProfile("focus");
    store.tick(clock.addSecs(120));
    waitForProfile("vibe");
    EXPECT_EQ(told.mid(3), (QStringList{"on-battery applied: vibe after normal",
                                        "on-battery applied: vibe after focus"}));
}
