// The workspace model and its views: search, selection, operations, reads, footer and tiles.
#include "Workspace/WorkspaceModel.h"

#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Workspace/DashboardController.h"

#include <QSettings>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;
using test::snapshot;

namespace {

struct WorkspaceTest : ::testing::Test, test::SessionFixture {
    WorkspaceTest() {
        library.onChange = [this] { model.refreshProfiles(); };
        model.onActivate = [this](const Profile &profile, qint64 minutes) {
            activations << std::make_pair(profile, minutes);
            store.activate(profile, minutes, now);
        };
    }

    void tick(int seconds = 1, bool readSystem = true) {
        now = now.addSecs(seconds);
        model.refresh(readSystem);
    }
    void deliver(const SystemSettings &settings = snapshot(5, 15, "Power adapter")) {
        reader.deliver(settings);
        test::processQueuedEvents();
    }
    // The identifiers of the sidebar's rows, or of those with `role` set.
    [[nodiscard]] QStringList rowIds(std::optional<int> role = std::nullopt) const {
        QStringList ids;
        const ProfileRowsModel *list = model.profileList();
        for (int row = 0; row < list->rowCount(); ++row) {
            const QModelIndex index = list->index(row);
            if (!role || index.data(*role).toBool())
                ids << index.data(ProfileRowsModel::IdRole).toString();
        }
        return ids;
    }
    // The footer's status line, explanation and button title.
    [[nodiscard]] QStringList footer() const {
        return {model.footer()->statusLine(), model.footer()->explanationLine(),
                model.footer()->applyTitle()};
    }

    test::ControlledSystemReader reader;
    bool applicationActive = true;
    Policy policy;
    WorkspaceModel model{store,
                         library,
                         {[this] { return now; },
                          [this] { return reader.read(); },
                          [this] { return applicationActive; },
                          {},
                          [this] { return policy; }}};
    QList<std::pair<Profile, qint64>> activations;
};

} // namespace

TEST_F(WorkspaceTest, SearchKeepsLocalizedTitlesContainingTheTextInAnyCase) {
    library.save(test::customProfile("night", "Overnight Downloads"));
    QSignalSpy noMatches(&model, &WorkspaceModel::noMatchesChanged);
    model.setSearch(" DOWN"); // used as typed: the blank must precede the word
    EXPECT_EQ(rowIds(), QStringList{"night"});
    model.setSearch("energy"); // Normal's summary, not its title
    EXPECT_TRUE(model.noMatches());
    model.setSearch(Profile::presentation().localizedTitle().mid(2, 4).toUpper());
    EXPECT_EQ(rowIds(), QStringList{"presentation"});
    model.setSearch("");
    EXPECT_EQ(noMatches.size(), 2) << "no matches only for a typed search that finds nothing";
}

TEST_F(WorkspaceTest, ProfileOperationsMoveTheSelectionAndAStaleOneFallsBackToNormal) {
    std::optional<Profile> edited;
    model.onEdit = [&](const std::optional<Profile> &profile) { edited = profile; };
    model.select("focus");
    model.perform("edit");
    EXPECT_EQ(edited, Profile::focus());
    model.perform("duplicate");
    EXPECT_EQ(model.selectedID(), model.profiles().last().id);
    model.perform("no such action");
    model.perform("delete");
    EXPECT_EQ(model.selectedID(), "normal");

    model.select("download");
    model.setMinutes(WorkspaceModel::DisplayMinutes, 30);
    model.perform("reset");
    EXPECT_EQ(model.selected()->displayMinutes(), Profile::download().displayMinutes);
    model.select("deleted-elsewhere");
    EXPECT_EQ(model.selected()->profileId(), "normal");
    model.refreshProfiles();
    EXPECT_EQ(model.selectedID(), "normal");
}

TEST_F(WorkspaceTest, FailedOperationsBecomeTheErrorAndChangeNothingElse) {
    model.select("vibe");
    model.deleteProfile();
    EXPECT_EQ(model.error(), L10n::text("Preset profiles cannot be deleted."));
    storage->failAt = storage->operations + 1;
    model.duplicate();
    EXPECT_EQ(model.error(), test::MemoryProfileStorage::injectedText(storage->failAt));
    EXPECT_EQ(model.selectedID(), "vibe");
    EXPECT_EQ(model.profiles().size(), 5);

    QSignalSpy profilesChanged(&model, &WorkspaceModel::profilesChanged);
    storage->failAt = storage->operations + 1;
    model.setMinutes(WorkspaceModel::DisplayMinutes, 30);
    EXPECT_EQ(model.error(), test::MemoryProfileStorage::injectedText(storage->failAt));
    EXPECT_EQ(profilesChanged.size(), 0);
    EXPECT_EQ(model.minutes(WorkspaceModel::DisplayMinutes), 0);
    model.dismissError();
    EXPECT_FALSE(model.error());
}

TEST_F(WorkspaceTest, MinuteBindingsScaleTheScreenSaverToSeconds) {
    model.setMinutes(WorkspaceModel::ScreenSaver, 25);
    model.setMinutes(WorkspaceModel::SleepMinutes, 0);
    EXPECT_EQ(library.normal().screenSaverSeconds, 1500);
    EXPECT_EQ(library.normal().sleepMinutes, 0);
    EXPECT_EQ(model.selected()->screenSaverMinutes(), 25);
    library.save({"odd", "Odd", ProfileIcon::sliders, 1, 1, 120, 0});
    model.select("odd");
    model.setMinutes(WorkspaceModel::AutomaticReturn, 45);
    EXPECT_EQ(*library.profile("odd"), Profile("odd", "Odd", ProfileIcon::sliders, 1, 1, 120, 45));
}

TEST_F(WorkspaceTest, ReadsAtMostEveryFiveSecondsWhileShownAndTheTilesShowTheRead) {
    const LiveStatusView *tiles = model.liveStatus();
    QSignalSpy selectedChanged(model.selected(), &SelectedProfileView::changed);
    tick(6, false); // hidden or minimized: no read and no effects
    EXPECT_EQ(reader.started, 0);
    EXPECT_FALSE(model.effectsActive());
    EXPECT_EQ(selectedChanged.size(), 0) << "a tick that changes nothing shown notifies nothing";
    EXPECT_FALSE(DashboardController::readsSystem(true, Qt::WindowMinimized));
    EXPECT_FALSE(DashboardController::readsSystem(false, Qt::WindowNoState));
    EXPECT_TRUE(DashboardController::readsSystem(true, Qt::WindowMaximized));

    tick();
    tick(); // the first read still running
    EXPECT_EQ(reader.started, 1);
    deliver(snapshot(std::nullopt, 0, "Battery"));
    EXPECT_EQ(tiles->displayValue(), L10n::text("Unavailable"));
    EXPECT_EQ(tiles->sleepValue(), L10n::text("Never"));
    tick(4);
    EXPECT_EQ(reader.started, 1) << "4 seconds after the read completed";
    tick();
    EXPECT_EQ(reader.started, 2);
    EXPECT_EQ(model.revision(), 5);
    SystemSettings disabled = snapshot(10, 30, "UPS");
    disabled.sleepDisabled = true;
    deliver(disabled);
    EXPECT_EQ(tiles->sleepValue(), L10n::text("Disabled system-wide"));
    // Refresh, which a failed read asks for, reads at once, but never beside a running read.
    model.readNow();
    model.readNow();
    EXPECT_EQ(reader.started, 3);
}

TEST_F(WorkspaceTest, EffectsNeedAVisibleWindowTheActiveApplicationAndNoLowPowerMode) {
    QSignalSpy changed(&model, &WorkspaceModel::effectsActiveChanged);
    tick();
    tick();
    EXPECT_TRUE(model.effectsActive());
    EXPECT_EQ(changed.size(), 1) << "assigned only when it changes";
    applicationActive = false;
    tick();
    EXPECT_FALSE(model.effectsActive());
    applicationActive = true;
    deliver(snapshot(5, 15, "Battery", true));
    tick();
    EXPECT_FALSE(model.effectsActive()) << "Low Power Mode is on";
    tick(1, false);
    EXPECT_EQ(changed.size(), 2);
}

TEST_F(WorkspaceTest, ApplyHandsOverTheSelectionAndTheFooterAndBadgeFollowIt) {
    QSignalSpy announced(model.announcement(), &Announcement::announced);
    model.select("focus");
    model.apply();
    model.apply(); // while applying: nothing
    EXPECT_EQ(activations, (QList{std::make_pair(Profile::focus(), qint64(25))}));
    tick();
    EXPECT_EQ(footer()[0], L10n::text("Applying profile…"));
    EXPECT_EQ(rowIds(ProfileRowsModel::AppliedRole), QStringList()) << "no badge before success";

    succeed();
    tick();
    // Sleep disabled system-wide does not matter to a profile that never sleeps.
    SystemSettings disabled = snapshot(0, 0, "Power adapter");
    disabled.sleepDisabled = true;
    deliver(disabled);
    // The timed session's time left, and the apply's outcome rather than a progress line.
    EXPECT_EQ(footer(),
              (QStringList{L10n::text({"{0} applied · returns to Normal in {1}",
                                       {Profile::focus().localizedTitle(), store.timeLabel()}}),
                           *store.notice(), L10n::text("Reapply")}));
    EXPECT_EQ(rowIds(ProfileRowsModel::AppliedRole), QStringList{"focus"});
    // Screen readers hear the outcome once, and the row says it is applied and for how long.
    EXPECT_EQ(announced.size(), 1);
    EXPECT_EQ(model.announcement()->text(), *store.notice());
    const QModelIndex focusRow = model.profileList()->index(2);
    EXPECT_EQ(
        focusRow.data(ProfileRowsModel::AccessibleNameRole),
        L10n::text({"{0}, applied, {1} left",
                    {Profile::focus().localizedTitle(), L10n::text({"{0} minutes", {"25"}})}}))
        << focusRow.data(ProfileRowsModel::AccessibleNameRole).toString().toStdString();
    now = store.session().deadline->addSecs(-59); // still a minute
    store.tick(now);
    tick(0);
    EXPECT_EQ(focusRow.data(ProfileRowsModel::AccessibleNameRole),
              L10n::text({"{0}, applied, {1} left",
                          {Profile::focus().localizedTitle(), L10n::text("1 minute")}}));
    // A change of another profile fails: the applied one's line says what that left.
    model.select("vibe");
    model.apply();
    service->fail(ConfigurationError::message("refused"));
    test::processQueuedEvents();
    model.select("focus");
    tick();
    EXPECT_EQ(footer()[1],
              L10n::text({"The last change did not go through, so {0} is still in effect.",
                          {Profile::focus().localizedTitle()}}));
    // Editing the applied profile makes it differ from what was applied.
    model.setMinutes(WorkspaceModel::DisplayMinutes, 10);
    EXPECT_EQ(footer()[2], L10n::text("Apply Profile"));
}

TEST_F(WorkspaceTest, AnOutsideChangeShowsUntilReappliedAndSleepDisabledIsTold) {
    const QString title = Profile::normal().localizedTitle(); // 5 min display, 15 min sleep
    tick(); // a read begins before the apply: it never counts as drift
    model.apply();
    tick(1, false);
    succeed();
    deliver(snapshot(9, 15, "Power adapter"));
    EXPECT_FALSE(model.drifted());
    tick(); // one second after the last read, but the apply has just ended
    ASSERT_EQ(reader.started, 2);
    QSignalSpy announced(model.announcement(), &Announcement::announced);
    deliver(snapshot(5, 60, "Power adapter")); // changed in System Settings
    EXPECT_EQ(footer()[0], L10n::text({"{0} applied · changed outside Pellor", {title}}));
    tick(5);
    deliver(snapshot(5, 60, "Power adapter"));
    EXPECT_EQ(announced.size(), 1) << "once, when it is first found";
    EXPECT_EQ(model.announcement()->text(), footer()[0]);

    model.apply();
    tick(1, false);
    EXPECT_FALSE(model.drifted()) << "not while an apply runs";
    succeed();
    EXPECT_FALSE(model.drifted()) << "the old read does not count for the new session";
    // The sleep timer was written, but the Mac ignores it while sleep is disabled.
    tick();
    SystemSettings disabled = snapshot(5, 15, "Power adapter");
    disabled.sleepDisabled = true;
    deliver(disabled);
    EXPECT_EQ(footer()[1],
              L10n::text("The Mac will still not sleep: sleep is disabled system-wide."));
}

TEST_F(WorkspaceTest, AFailedReturnTurnsApplyIntoTryAgainOnTheAppliedProfile) {
    model.select("focus");
    model.apply();
    succeed();
    store.tick(*store.session().deadline);
    test::processQueuedEvents();
    QSignalSpy announced(model.announcement(), &Announcement::announced);
    service->fail(ConfigurationError::cancelled());
    test::processQueuedEvents();
    tick();
    EXPECT_EQ(announced.size(), 0) << "a failure is told by its alert";
    const QString title = Profile::focus().localizedTitle();
    EXPECT_EQ(footer(), (QStringList{L10n::text({"{0} did not return to Normal", {title}}),
                                     ConfigurationError::cancelled().errorDescription(),
                                     L10n::text("Try Again")}));
    model.apply();
    EXPECT_EQ(service->applied.last(), library.normal()) << "Try Again starts the return";
    EXPECT_EQ(activations.size(), 1) << "not a new apply of Focus";
    succeed();
    tick();
    EXPECT_EQ(model.selectedProfile().id, "focus");
    EXPECT_EQ(footer()[0], L10n::text("This profile is not applied"));
}

TEST_F(WorkspaceTest, DamagedProfilesLockEditingUntilSetAside) {
    EXPECT_FALSE(library.setAsideAndStartFresh(QDate(2026, 12, 7))) << "a readable file stays";
    const auto damaged = std::make_shared<test::MemoryProfileStorage>(QByteArray("{ not json"));
    ProfileLibrary locked(damaged);
    WorkspaceModel lockedModel(store, locked, {[this] { return now; }, {}, {}});
    int setAsideRequests = 0;
    lockedModel.onSetAsideProfiles = [&] { ++setAsideRequests; };
    EXPECT_TRUE(lockedModel.profilesLocked());
    lockedModel.setAsideDamagedProfiles();
    EXPECT_EQ(setAsideRequests, 1);
    locked.onChange = [&] { lockedModel.refreshProfiles(); };
    QSignalSpy changed(&lockedModel, &WorkspaceModel::profilesChanged);
    EXPECT_EQ(locked.setAsideAndStartFresh(QDate(2026, 12, 7)), "memory aside");
    EXPECT_EQ(damaged->setAsideBytes, "{ not json") << "kept whole";
    EXPECT_FALSE(lockedModel.profilesLocked());
    EXPECT_EQ(changed.size(), 1);
    locked.save(test::customProfile("night", "Overnight"));
    EXPECT_TRUE(damaged->bytes) << "changes are stored again";
}

TEST_F(WorkspaceTest, AChangeTheSystemToldOfIsReadAtTheNextRefresh) {
    tick();
    model.markStale(); // during the read
    deliver();
    tick(1);
    EXPECT_EQ(reader.started, 2);
    deliver();
    model.markStale();
    tick(1);
    EXPECT_EQ(reader.started, 3) << "not five seconds later";
}

// The keys of the profile list: Up and Down stop at the ends, Home and End go there, and a
// selection the search hides starts from the first or the last visible row.
TEST_F(WorkspaceTest, TheKeysMoveTheSelectionThroughTheVisibleRows) {
    using M = WorkspaceModel::Move;
    const struct {
        const char *from;
        M move;
        const char *to;
    } moves[] = {{"normal", M::Up, "normal"},       {"normal", M::Down, "vibe"},
                 {"download", M::Down, "download"}, {"focus", M::Up, "vibe"},
                 {"vibe", M::End, "download"},      {"presentation", M::Home, "normal"}};
    for (const auto &[from, move, to] : moves) {
        model.select(from);
        model.moveSelection(move);
        EXPECT_EQ(model.selectedID(), to) << from << " " << move;
        EXPECT_EQ(model.selectedRow(), rowIds().indexOf(to));
    }
    model.setSearch(Profile::focus().localizedTitle());
    model.select("vibe");
    EXPECT_EQ(model.selectedRow(), -1);
    model.moveSelection(M::Up);
    EXPECT_EQ(model.selectedID(), "focus");
    EXPECT_TRUE(model.clearSearch());
    EXPECT_FALSE(model.clearSearch()) << "Escape in an empty search is left to others";
    EXPECT_EQ(model.selectedRow(), 2);
}

TEST(NormalOffer, TakesTheComputersTimesWhenTheyAreReadValidAndNotNormalsAlready) {
    const auto settings = [](std::optional<qint64> display, std::optional<qint64> sleep,
                             std::optional<qint64> screenSaverSeconds) {
        SystemSettings read = snapshot(display, sleep, "Battery");
        read.screenSaverSeconds = screenSaverSeconds;
        return read;
    };
    SystemSettings failed = settings(7, 61, 600);
    failed.error = "pmset failed";
    using Times = std::optional<std::tuple<qint64, qint64, qint64>>;
    const std::tuple<SystemSettings, bool, Times> cases[] = {
        {settings(7, 61, 600), true, std::tuple(7, 61, 600)},
        {settings(0, 0, 0), true, std::tuple(0, 0, 0)},
        {settings(5, 15, 300), true, std::nullopt},
        {settings(7, 61, std::nullopt), true, std::tuple(7, 61, 300)},
        {settings(5, 15, std::nullopt), true, std::nullopt},
        {settings(7, std::nullopt, 600), true, std::nullopt},
        {settings(7, 1441, 600), true, std::nullopt},
        {settings(7, 61, 90), true, std::nullopt}, // a screen saver Pellor cannot hold
        {settings(5, 15, 600), false, std::nullopt},
        {settings(7, 15, std::nullopt), false, std::tuple(7, 15, 300)},
        {failed, true, std::nullopt}};
    for (const auto &[read, ownScreenSaverTimer, expected] : cases) {
        const std::optional<Profile> normal =
            NormalOffer::currentTimesAsNormal(read, ownScreenSaverTimer);
        ASSERT_EQ(normal.has_value(), expected.has_value()) << read.displayMinutes.value_or(-1);
        if (normal)
            EXPECT_EQ(std::tuple(normal->displayMinutes, normal->sleepMinutes,
                                 normal->screenSaverSeconds),
                      *expected);
    }
}

// Asked while nothing of Pellor's is in effect, once: either answer is remembered, and Undo puts
// the factory Normal back.
TEST_F(WorkspaceTest, TheNormalOfferAsksOnceAndTakesTheComputersTimesUndoably) {
    QSettings().remove(NormalOffer::answeredKey);
    NormalOffer *offer = model.normalOffer();
    SystemSettings own = snapshot(7, 61, "Power adapter");
    own.screenSaverSeconds = 600;
    tick();
    deliver(own);
    ASSERT_EQ(offer->state(), NormalOffer::Asking);
    EXPECT_TRUE(offer->text().contains(Profile::normal().subtitle()));

    offer->useCurrentTimes();
    EXPECT_EQ(offer->state(), NormalOffer::Adopted);
    EXPECT_EQ(library.normal().sleepMinutes, 61);
    offer->undo();
    EXPECT_EQ(library.normal(), Profile::normal());
    EXPECT_EQ(offer->state(), NormalOffer::Hidden);
    tick(5);
    deliver(own);
    EXPECT_EQ(offer->state(), NormalOffer::Hidden) << "answered once";

    QSettings().remove(NormalOffer::answeredKey);
    tick(5);
    deliver(own);
    ASSERT_EQ(offer->state(), NormalOffer::Asking);
    store.activate(Profile::focus(), std::nullopt, now);
    succeed();
    tick(5);
    deliver(own);
    EXPECT_EQ(offer->state(), NormalOffer::Hidden) << "Focus's times are not the person's";
    offer->keepPellorsNormal(); // not asking: nothing to answer
    EXPECT_FALSE(QSettings().value(NormalOffer::answeredKey).toBool());
}

// A profile the organisation provides is marked in the list, its times cannot be changed here,
// and its only action is a copy of the person's own.
TEST_F(WorkspaceTest, AProfileTheOrganisationProvidesIsMarkedAndCanOnlyBeCopied) {
    library.setManaged({test::customProfile("kiosk", "Kiosk")}, true);
    model.select("kiosk");
    const QModelIndex row = model.profileList()->index(0);
    EXPECT_EQ(row.data(ProfileRowsModel::IdRole), "kiosk");
    EXPECT_EQ(row.data(ProfileRowsModel::SummaryRole), L10n::text("Managed"));
    EXPECT_TRUE(model.selected()->managed());
    const QVariantList actions = model.selected()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions.first().toMap()["action"], "duplicate");
    model.setMinutes(WorkspaceModel::DisplayMinutes, 1);
    EXPECT_TRUE(model.error()) << "the library refuses the change";
    model.perform("duplicate");
    EXPECT_FALSE(model.selected()->managed()) << "the copy is the person's";
}

// A profile the policy forbids stays listed, marked, with the limit named in the footer; it is
// not applied and not given a time past the limit, and once within it, it applies again.
TEST_F(WorkspaceTest, AProfileThePolicyForbidsIsMarkedAndNotAppliedUntilItKeepsTheLimit) {
    policy = Policy::fromJson(R"({"limits": {"adapter": {"sleepMinutes": 30}}})");
    model.refreshProfiles();
    EXPECT_EQ(rowIds(ProfileRowsModel::AllowedRole), QStringList{"normal"}) << "sleep Never";
    EXPECT_EQ(model.profiles().size(), 5);
    model.select("download");
    EXPECT_EQ(model.profileList()->index(4).data(ProfileRowsModel::SummaryRole), "Not allowed");
    EXPECT_EQ(footer(),
              (QStringList{"Not allowed by your organisation",
                           "Your organisation limits “System Sleep” to 30 min (On the power "
                           "adapter), so this profile cannot be applied until its time is shorter.",
                           "Apply Profile"}));
    EXPECT_FALSE(model.footer()->canApply());
    model.apply();
    EXPECT_TRUE(activations.isEmpty());
    EXPECT_TRUE(model.error()->startsWith("A management policy limits “System Sleep”"));

    model.setMinutes(WorkspaceModel::SleepMinutes, 31);
    EXPECT_EQ(model.error(), "Your organisation limits “System Sleep” to 30 min (On the power "
                             "adapter). Nothing was changed.");
    EXPECT_EQ(model.minutes(WorkspaceModel::SleepMinutes), 0);
    model.setMinutes(WorkspaceModel::SleepMinutes, 30);
    EXPECT_TRUE(model.footer()->canApply());
    model.apply();
    EXPECT_EQ(activations.size(), 1);
}
