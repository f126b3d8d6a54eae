// The workspace model and what the view derives from it: search, selection and its fallback,
// the profile operations with their errors, the minute bindings, the live-read cadence and the
// texts of the rows, tiles, hero and footer.
#include "Workspace/WorkspaceModel.h"

#include "AppTestSupport.h"
#include "Components/MinuteLabel.h"
#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "TestSupport.h"
#include "Workspace/DashboardController.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;
using test::snapshot;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

QString minutesText(qint64 minutes) {
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

struct WorkspaceTest : ::testing::Test {
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
    void addCustom(const Profile &profile) { library.save(profile); }
    // The rows of the sidebar as (identifier, applied).
    QList<std::pair<QString, bool>> rows() const {
        QList<std::pair<QString, bool>> result;
        const ProfileRowsModel *list = model.profileList();
        for (int row = 0; row < list->rowCount(); ++row) {
            const QModelIndex index = list->index(row);
            result << std::make_pair(index.data(ProfileRowsModel::IdRole).toString(),
                                     index.data(ProfileRowsModel::AppliedRole).toBool());
        }
        return result;
    }
    QStringList visibleIds() const {
        QStringList ids;
        for (const Profile &profile : model.visibleProfiles())
            ids << profile.id;
        return ids;
    }
    void applySelectedAndSucceed() {
        model.apply();
        ASSERT_TRUE(service->pending());
        service->succeed();
        test::processQueuedEvents();
    }

    std::shared_ptr<test::MemoryProfileStorage> storage =
        std::make_shared<test::MemoryProfileStorage>();
    ProfileLibrary library{storage};
    std::shared_ptr<test::ControlledConfiguring> service =
        std::make_shared<test::ControlledConfiguring>();
    QDateTime now = kStart;
    SessionStore store{service, [this] { return now; }, [this] { return library.normal(); }};
    test::ControlledSystemReader reader;
    bool applicationActive = true;
    WorkspaceModel model{store,
                         library,
                         {[this] { return now; }, [this] { return reader.read(); },
                          [this] { return applicationActive; }}};
    QList<std::pair<Profile, qint64>> activations;
};

} // namespace

TEST_F(WorkspaceTest, StartsWithTheLibrarysProfilesAndNormalSelected) {
    EXPECT_EQ(model.profiles(), library.profiles());
    EXPECT_EQ(model.selectedID(), "normal");
    EXPECT_EQ(model.search(), "");
    EXPECT_FALSE(model.snapshot());
    EXPECT_EQ(model.revision(), 0);
    EXPECT_FALSE(model.effectsActive());
    EXPECT_FALSE(model.error());
    EXPECT_EQ(rows().size(), 5);
}

TEST_F(WorkspaceTest, SearchKeepsTitlesContainingTheTextInAnyCase) {
    addCustom(test::customProfile("night", "Overnight Downloads"));
    model.setSearch("DOWN");
    EXPECT_EQ(visibleIds(), (QStringList{"download", "night"}));
    EXPECT_EQ(rows().size(), 2);
    EXPECT_FALSE(model.noMatches());

    model.setSearch(" down"); // used as typed: the blank must precede the word
    EXPECT_EQ(visibleIds(), QStringList{"night"});

    model.setSearch("");
    EXPECT_EQ(visibleIds(),
              (QStringList{"normal", "vibe", "focus", "presentation", "download", "night"}));
}

TEST_F(WorkspaceTest, SearchMatchesOnlyTheLocalizedTitle) {
    model.setSearch("energy"); // Normal's summary, not its title
    EXPECT_TRUE(model.visibleProfiles().isEmpty());
    model.setSearch(Profile::presentation().localizedTitle().mid(2, 4).toUpper());
    EXPECT_EQ(visibleIds(), QStringList{"presentation"});
}

TEST_F(WorkspaceTest, NoMatchesOnlyForATypedSearchThatFindsNothing) {
    QSignalSpy changed(&model, &WorkspaceModel::noMatchesChanged);
    EXPECT_FALSE(model.noMatches());
    model.setSearch("zzz");
    EXPECT_TRUE(model.noMatches());
    EXPECT_EQ(rows().size(), 0);
    model.setSearch("");
    EXPECT_FALSE(model.noMatches());
    EXPECT_EQ(changed.size(), 2);
}

TEST_F(WorkspaceTest, AStaleSelectionFallsBackToNormal) {
    model.select("deleted-elsewhere");
    EXPECT_EQ(model.selectedProfile(), library.normal());
    EXPECT_EQ(model.minutes(WorkspaceModel::SleepMinutes), 15);
    EXPECT_EQ(model.selected()->profileId(), "normal");

    model.refreshProfiles();
    EXPECT_EQ(model.selectedID(), "normal");
}

TEST_F(WorkspaceTest, SelectionMarksExactlyOneRow) {
    model.select("focus");
    const ProfileRowsModel *list = model.profileList();
    int selected = 0;
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->index(row).data(ProfileRowsModel::SelectedRole).toBool()) {
            ++selected;
            EXPECT_EQ(list->index(row).data(ProfileRowsModel::IdRole).toString(), "focus");
        }
    EXPECT_EQ(selected, 1);
}

TEST_F(WorkspaceTest, DuplicatingSelectsTheCopy) {
    model.select("focus");
    model.duplicate();
    ASSERT_EQ(model.profiles().size(), 6);
    const Profile copy = model.profiles().last();
    EXPECT_EQ(model.selectedID(), copy.id);
    EXPECT_EQ(copy.defaultMinutes, 25);
    EXPECT_FALSE(model.error());
}

TEST_F(WorkspaceTest, DeletingTheSelectedProfileSelectsNormal) {
    addCustom(test::customProfile("night", "Overnight"));
    model.select("night");
    model.deleteProfile();
    EXPECT_EQ(model.selectedID(), "normal");
    EXPECT_FALSE(library.profile("night"));
    EXPECT_TRUE(library.canUndoDeletion());
}

TEST_F(WorkspaceTest, FailedOperationsBecomeTheErrorAndChangeNothingElse) {
    model.select("vibe");
    model.deleteProfile();
    ASSERT_TRUE(model.error());
    EXPECT_EQ(*model.error(), L10n::text("Preset profiles cannot be deleted."));
    EXPECT_EQ(model.selectedID(), "vibe");
    EXPECT_EQ(model.profiles().size(), 5);

    addCustom(test::customProfile("night", "Overnight"));
    model.select("night");
    model.resetToFactorySettings();
    EXPECT_EQ(*model.error(), L10n::text("Only preset profiles can be reset to factory settings."));

    storage->failAt = storage->operations + 1;
    model.duplicate();
    EXPECT_EQ(*model.error(), test::MemoryProfileStorage::injectedText(storage->failAt));
    EXPECT_EQ(model.selectedID(), "night");
    EXPECT_EQ(model.profiles().size(), 6);

    model.dismissError();
    EXPECT_FALSE(model.error());
}

TEST_F(WorkspaceTest, ResetPutsAPresetBackToItsFactoryValues) {
    model.select("download");
    model.setMinutes(WorkspaceModel::DisplayMinutes, 30);
    ASSERT_EQ(library.profile("download")->displayMinutes, 30);
    model.resetToFactorySettings();
    EXPECT_EQ(*library.profile("download"), Profile::download());
    EXPECT_EQ(model.selected()->displayMinutes(), 5);
}

TEST_F(WorkspaceTest, MinuteBindingsScaleTheScreenSaverToSeconds) {
    model.select("normal");
    model.setMinutes(WorkspaceModel::ScreenSaver, 5);
    EXPECT_EQ(library.normal().screenSaverSeconds, 300);
    model.setMinutes(WorkspaceModel::ScreenSaver, 25);
    EXPECT_EQ(library.normal().screenSaverSeconds, 1500);
    EXPECT_EQ(model.selected()->screenSaverMinutes(), 25);

    addCustom({"odd", "Odd", ProfileIcon::sliders, 1, 1, 120, 0});
    model.select("odd");
    EXPECT_EQ(model.minutes(WorkspaceModel::ScreenSaver), 2);

    model.setMinutes(WorkspaceModel::DisplayMinutes, 10);
    model.setMinutes(WorkspaceModel::SleepMinutes, 0);
    model.setMinutes(WorkspaceModel::AutomaticReturn, 45);
    EXPECT_EQ(*library.profile("odd"), Profile("odd", "Odd", ProfileIcon::sliders, 10, 0, 120, 45));
    EXPECT_EQ(model.selected()->returnMinutes(), 45);
}

TEST_F(WorkspaceTest, AFailedSaveOfASettingIsTheErrorAndKeepsTheList) {
    model.select("focus");
    QSignalSpy profilesChanged(&model, &WorkspaceModel::profilesChanged);
    storage->failAt = storage->operations + 1;
    model.setMinutes(WorkspaceModel::DisplayMinutes, 10);
    ASSERT_TRUE(model.error());
    EXPECT_EQ(profilesChanged.size(), 0);
    EXPECT_EQ(library.profile("focus")->displayMinutes, 0);

    model.select("normal");
    model.setMinutes(WorkspaceModel::AutomaticReturn, 10); // Normal cannot have a timer
    EXPECT_EQ(
        *model.error(),
        L10n::text("Normal is the return profile and cannot have an automatic return timer."));
}

TEST_F(WorkspaceTest, EveryRefreshCountsAndReadsAtMostEveryFiveSecondsAfterTheLastRead) {
    tick();
    EXPECT_EQ(model.revision(), 1);
    EXPECT_EQ(reader.started, 1);
    EXPECT_TRUE(model.reading());

    tick(); // one second later, the first read still running
    EXPECT_EQ(reader.started, 1);
    deliver();
    EXPECT_FALSE(model.reading());
    ASSERT_TRUE(model.snapshot());

    for (int second = 1; second <= 4; ++second) {
        tick();
        EXPECT_EQ(reader.started, 1) << "second " << second << " after the read completed";
    }
    tick();
    EXPECT_EQ(reader.started, 2) << "5 seconds after the previous read completed";
    EXPECT_EQ(model.revision(), 7);
}

TEST_F(WorkspaceTest, NoReadsAndNoEffectsWhileTheWindowIsHiddenOrMinimized) {
    QSignalSpy revisions(&model, &WorkspaceModel::revisionChanged);
    for (int i = 0; i < 12; ++i)
        tick(1, false);
    EXPECT_EQ(reader.started, 0);
    EXPECT_EQ(model.revision(), 12);
    EXPECT_EQ(revisions.size(), 12);
    EXPECT_FALSE(model.effectsActive());

    EXPECT_FALSE(DashboardController::readsSystem(true, Qt::WindowMinimized));
    EXPECT_FALSE(DashboardController::readsSystem(false, Qt::WindowNoState));
    EXPECT_TRUE(DashboardController::readsSystem(true, Qt::WindowMaximized));
}

TEST_F(WorkspaceTest, AFinishedApplyIsReadAtOnce) {
    tick();
    deliver();
    ASSERT_EQ(reader.started, 1);

    model.select("focus");
    model.apply();
    tick();
    EXPECT_EQ(reader.started, 1) << "no read is due while applying";
    service->succeed();
    test::processQueuedEvents();
    tick(); // one second later: the apply has just ended
    EXPECT_EQ(reader.started, 2);
}

TEST_F(WorkspaceTest, EffectsNeedAVisibleWindowTheActiveApplicationAndNoLowPowerMode) {
    QSignalSpy changed(&model, &WorkspaceModel::effectsActiveChanged);
    tick();
    EXPECT_TRUE(model.effectsActive());
    tick();
    EXPECT_EQ(changed.size(), 1) << "assigned only when it changes";

    applicationActive = false;
    tick();
    EXPECT_FALSE(model.effectsActive());

    applicationActive = true;
    deliver(snapshot(5, 15, "Battery", true));
    tick();
    EXPECT_FALSE(model.effectsActive()) << "Low Power Mode is on";

    tick(5);
    deliver(snapshot(5, 15, "Battery", false));
    tick();
    EXPECT_TRUE(model.effectsActive());
    tick(1, false);
    EXPECT_FALSE(model.effectsActive());
    EXPECT_EQ(changed.size(), 4);
}

TEST_F(WorkspaceTest, ApplyHandsOverTheSelectedProfileWithItsTimer) {
    model.select("focus");
    model.apply();
    ASSERT_EQ(activations.size(), 1);
    EXPECT_EQ(activations[0].first, Profile::focus());
    EXPECT_EQ(activations[0].second, 25);

    model.apply(); // while applying: nothing
    EXPECT_EQ(activations.size(), 1);
    EXPECT_EQ(service->applied.size(), 1);
}

TEST_F(WorkspaceTest, TheActiveBadgeAndTheFooterFollowTheAppliedProfile) {
    model.select("focus");
    EXPECT_EQ(model.footer()->statusLine(), L10n::text("This profile is not applied"));
    EXPECT_EQ(model.footer()->applyTitle(), L10n::text("Apply Profile"));
    const QString explanation =
        L10n::text("Applying updates macOS settings and may require administrator authorization");
    EXPECT_EQ(model.footer()->explanationLine(), explanation);

    model.apply();
    tick(1, false);
    EXPECT_TRUE(model.applying());
    EXPECT_EQ(model.footer()->statusLine(), L10n::text("Applying profile…"));
    EXPECT_EQ(model.footer()->explanationLine(),
              L10n::text("Complete the action in the system authorization dialog"));
    const auto pending = rows();
    EXPECT_EQ(
        std::count_if(pending.cbegin(), pending.cend(), [](const auto &row) { return row.second; }),
        0)
        << "no badge before the apply succeeded";

    service->succeed();
    test::processQueuedEvents();
    tick(1, false);
    EXPECT_FALSE(model.applying());
    EXPECT_TRUE(model.selected()->applied());
    EXPECT_EQ(model.footer()->statusLine(),
              L10n::text({"{0} applied", {Profile::focus().localizedTitle()}}));
    EXPECT_EQ(model.footer()->explanationLine(), explanation);
    EXPECT_EQ(model.footer()->applyTitle(), L10n::text("Reapply"));
    const auto applied = rows();
    EXPECT_EQ(
        std::count_if(applied.cbegin(), applied.cend(), [](const auto &row) { return row.second; }),
        1);
    EXPECT_TRUE(applied[2].second) << "Focus is the third row";

    // Editing the applied profile makes it differ from what was applied.
    model.setMinutes(WorkspaceModel::DisplayMinutes, 10);
    EXPECT_FALSE(model.selected()->applied());
    EXPECT_EQ(model.footer()->applyTitle(), L10n::text("Apply Profile"));
}

TEST_F(WorkspaceTest, AnAppliedSleepTimerThatSleepDisabledOverridesIsTold) {
    model.select("normal");
    model.apply();
    tick(1, false);
    service->succeed();
    test::processQueuedEvents();
    tick();
    SystemSettings disabled = snapshot(5, 15, "Power adapter");
    disabled.sleepDisabled = true;
    deliver(disabled);
    const QString stillAwake =
        L10n::text("The Mac will still not sleep: sleep is disabled system-wide.");
    EXPECT_EQ(model.footer()->statusLine(),
              L10n::text({"{0} applied", {Profile::normal().localizedTitle()}}));
    EXPECT_EQ(model.footer()->explanationLine(), stillAwake);

    tick(5);
    deliver(snapshot(5, 15, "Power adapter"));
    EXPECT_NE(model.footer()->explanationLine(), stillAwake);
}

TEST_F(WorkspaceTest, AnOutsideChangeShowsUntilReapplied) {
    const QString title = Profile::normal().localizedTitle();
    const QString drifted = L10n::text({"{0} applied · changed outside Pellor", {title}});
    model.select("normal"); // 5 min display, 15 min sleep
    tick();                 // a read begins before the apply: it never counts as drift
    model.apply();
    tick(1, false);
    service->succeed();
    test::processQueuedEvents();
    deliver(snapshot(9, 15, "Power adapter"));
    EXPECT_EQ(model.footer()->statusLine(), L10n::text({"{0} applied", {title}}));

    tick(); // the read right after the apply
    deliver(snapshot(5, 15, "Power adapter"));
    EXPECT_FALSE(model.drifted());
    tick(5);
    deliver(snapshot(5, 60, "Power adapter")); // changed in System Settings
    EXPECT_TRUE(model.drifted());
    EXPECT_EQ(model.footer()->statusLine(), drifted);
    EXPECT_EQ(model.footer()->applyTitle(), L10n::text("Reapply"));

    model.apply();
    tick(1, false);
    EXPECT_FALSE(model.drifted()) << "not while an apply runs";
    service->succeed();
    test::processQueuedEvents();
    EXPECT_FALSE(model.drifted()) << "the old read does not count for the new session";
    tick();
    deliver(snapshot(5, 15, "Power adapter"));
    EXPECT_EQ(model.footer()->statusLine(), L10n::text({"{0} applied", {title}}));
}

TEST_F(WorkspaceTest, TilesReadReadingThenTheSnapshotsValues) {
    const LiveStatusView *tiles = model.liveStatus();
    EXPECT_EQ(tiles->displayValue(), L10n::text("Reading"));
    EXPECT_EQ(tiles->sleepValue(), L10n::text("Reading"));
    EXPECT_EQ(tiles->sourceValue(), L10n::text("Reading"));

    tick();
    SystemSettings partial = snapshot(std::nullopt, 0, "Battery");
    partial.error = "Some system settings could not be read. Refresh to try again.";
    deliver(partial);
    EXPECT_EQ(tiles->displayValue(), L10n::text("Unavailable"));
    EXPECT_EQ(tiles->sleepValue(), L10n::text("Never"));
    EXPECT_EQ(tiles->sourceValue(), "Battery") << "the source text is shown unchanged";
    EXPECT_EQ(tiles->error(), *partial.error);

    tick(5);
    deliver(snapshot(10, 30, "UPS"));
    EXPECT_EQ(tiles->displayValue(), minutesText(10));
    EXPECT_EQ(tiles->sleepValue(), minutesText(30));
    EXPECT_EQ(tiles->error(), "");

    tick(5);
    SystemSettings disabled = snapshot(10, 30, "UPS");
    disabled.sleepDisabled = true;
    deliver(disabled);
    EXPECT_EQ(tiles->sleepValue(), L10n::text("Disabled system-wide"));
}

TEST_F(WorkspaceTest, TheSelectedProfileViewCarriesTheHeroAndRowTexts) {
    const SelectedProfileView *selected = model.selected();
    EXPECT_TRUE(selected->isNormal());
    EXPECT_EQ(selected->returnSubtitle(),
              L10n::text("Other profiles return here when their timer ends"));
    EXPECT_EQ(selected->displayPill(), L10n::text({"Display {0}", {minutesText(5)}}));
    EXPECT_EQ(selected->sleepPill(), L10n::text({"Sleep {0}", {minutesText(15)}}));
    EXPECT_EQ(selected->screenSaverPill(), L10n::text({"Screen saver {0}", {minutesText(5)}}));

    QSignalSpy changed(selected, &SelectedProfileView::changed);
    model.select("vibe");
    EXPECT_EQ(changed.size(), 1);
    EXPECT_FALSE(selected->isNormal());
    EXPECT_TRUE(selected->isPreset());
    EXPECT_EQ(selected->returnSubtitle(),
              L10n::text("Return to Normal when time is up; keep Pellor open"));
    EXPECT_EQ(selected->displayPill(), L10n::text({"Display {0}", {L10n::text("Never")}}));
    EXPECT_EQ(selected->energy(), 1.0);

    tick(1, false);
    EXPECT_EQ(changed.size(), 1) << "a tick that changes nothing shown notifies nothing";
}

TEST_F(WorkspaceTest, EditAndSettingsGoThroughTheCallbacks) {
    std::optional<std::optional<Profile>> edited;
    int settings = 0;
    model.onEdit = [&](const std::optional<Profile> &profile) { edited = profile; };
    model.onSettings = [&] { ++settings; };

    model.select("presentation");
    model.edit();
    ASSERT_TRUE(edited);
    EXPECT_EQ(*edited, Profile::presentation());
    model.newProfile();
    EXPECT_FALSE(*edited);
    model.openSettings();
    EXPECT_EQ(settings, 1);
}

TEST_F(WorkspaceTest, ProfileActionsOfferResetForPresetsAndDeleteForOwnProfiles) {
    const auto names = [this] {
        QStringList list;
        for (const QVariant &action : model.selected()->actions())
            list << action.toMap()["action"].toString();
        return list;
    };
    EXPECT_EQ(names(), (QStringList{"edit", "duplicate", "reset"}));
    EXPECT_EQ(model.selected()->actions()[2].toMap()["title"],
              L10n::text("Reset to Factory Settings"));

    addCustom(test::customProfile("night", "Overnight"));
    model.select("night");
    EXPECT_EQ(names(), (QStringList{"edit", "duplicate", "delete"}));
    const QVariantMap remove = model.selected()->actions()[2].toMap();
    EXPECT_EQ(remove["title"], L10n::text("Delete Profile"));
    EXPECT_TRUE(remove["destructive"].toBool());

    model.perform("no such action");
    EXPECT_TRUE(library.profile("night"));
    model.perform("delete");
    EXPECT_FALSE(library.profile("night"));
    model.perform("duplicate");
    EXPECT_EQ(model.profiles().size(), 6);
}
