// The profile editor's draft: defaults, presets and Normal, save, delete and cancel.
#include "Editor/ProfileEditorModel.h"

#include "Platform/ConfigurationError.h"
#include "ProfileLibraryTestSupport.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct EditorTest : ::testing::Test {
    // An editor whose save and delete fail with `failure` while it is set.
    std::unique_ptr<ProfileEditorModel> make(const std::optional<Profile> &profile) {
        const auto fail = [this] {
            if (failure)
                throw PlatformError(*failure);
        };
        auto model = std::make_unique<ProfileEditorModel>(
            profile,
            [this, fail](const Profile &profile) {
                fail();
                saved << profile;
            },
            [this, fail] {
                ++deletes;
                fail();
            },
            policy);
        model->onClose = [this] { ++closes; };
        return model;
    }

    QList<Profile> saved;
    int deletes = 0;
    int closes = 0;
    std::optional<QString> failure;
    Policy policy;
    const Profile night = test::customProfile("night", "Overnight");
};

} // namespace

TEST_F(EditorTest, ANewProfileStartsFromTheDefaultsAndAnExistingOneAsACopy) {
    const auto editor = make(std::nullopt);
    const Profile &draft = editor->draft();
    EXPECT_NE(make(std::nullopt)->draft().id, draft.id);
    EXPECT_EQ(draft, Profile(draft.id, "", ProfileIcon::sliders, 5, 15, 300, 0));

    const auto existing = make(night);
    EXPECT_EQ(existing->draft(), night);
    const auto normal = make(Profile::normal());
    normal->setMinutes(ProfileEditorModel::AutomaticReturn, 30);
    EXPECT_EQ(normal->draft().defaultMinutes, 0) << "Normal has no automatic return";
}

TEST_F(EditorTest, SavingHandsOverTheValidatedDraftAndCloses) {
    const auto editor = make(std::nullopt);
    editor->setTitle("  Overnight Downloads ");
    editor->setMinutes(ProfileEditorModel::DisplayMinutes, 10);
    editor->setMinutes(ProfileEditorModel::SleepMinutes, 0);
    editor->setMinutes(ProfileEditorModel::ScreenSaver, 25);
    editor->setMinutes(ProfileEditorModel::AutomaticReturn, 480);
    editor->setIcon(ProfileIcon(ProfileIcon::leaf).rawValue());
    editor->setIcon("no such icon");
    editor->save();
    EXPECT_EQ(saved, QList<Profile>{Profile(editor->draft().id, "Overnight Downloads",
                                            ProfileIcon::leaf, 10, 0, 1500, 480)});
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, AnInvalidDraftOrAFailedStoreShowsWhyAndStaysOpenUnchanged) {
    const auto editor = make(night);
    QSignalSpy announced(editor->announcement(), &Announcement::announced);
    editor->setTitle("   ");
    const Profile before = editor->draft();
    editor->save();
    editor->save(); // refused again for the same reason: told again
    const QString expected = test::errorTextFrom([&] { (void)before.validated(); });
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(editor->errorText(), expected);
    EXPECT_EQ(editor->draft(), before);
    EXPECT_EQ(announced.size(), 2);
    EXPECT_EQ(editor->announcement()->text(), expected);

    // The message stays until the next failure replaces it, and a success closes.
    editor->setTitle("Night");
    EXPECT_EQ(editor->errorText(), expected);
    failure = "The profiles file is read-only";
    editor->save();
    EXPECT_EQ(editor->errorText(), *failure);
    EXPECT_EQ(closes, 0);
    failure.reset();
    editor->save();
    EXPECT_EQ(saved.size(), 1);
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, TheScreenSaverShowsWholeMinutesAndKeepsSecondsUntilPicked) {
    Profile odd = night;
    odd.screenSaverSeconds = 119;
    const auto editor = make(odd);
    EXPECT_EQ(editor->screenSaverMinutes(), 1);
    editor->setMinutes(ProfileEditorModel::DisplayMinutes, 2);
    EXPECT_EQ(editor->draft().screenSaverSeconds, 119);
    editor->setMinutes(ProfileEditorModel::ScreenSaver, 1);
    EXPECT_EQ(editor->draft().screenSaverSeconds, 60);
}

TEST_F(EditorTest, DeletingClosesOnSuccessAndShowsAFailureAndCancelClosesWithoutSaving) {
    const auto editor = make(night);
    failure = "Could not write the profiles file";
    editor->remove();
    EXPECT_EQ(editor->errorText(), *failure);
    EXPECT_EQ(closes, 0);
    failure.reset();
    editor->remove();
    EXPECT_EQ(deletes, 2);
    EXPECT_EQ(closes, 1);
    editor->cancel();
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(closes, 2);
}

TEST_F(EditorTest, TheIconStepsThroughTheChoicesAndWraps) {
    const auto editor = make(std::nullopt); // sliders, the last
    editor->stepIcon(1);
    EXPECT_EQ(editor->icon(), "leaf");
    editor->stepIcon(-1);
    editor->stepIcon(-1);
    EXPECT_EQ(editor->icon(), "download");
}

// Beside each limited time stands its limit; a time past it (Never among them) says so there and
// keeps the draft from being saved. A time without a limit may be anything.
TEST_F(EditorTest, TheLimitStandsBesideEachTimeAndATimePastItIsNotSaved) {
    policy =
        Policy::fromJson(R"({"limits": {"displayMinutes": 10, "battery": {"sleepMinutes": 20}}})");
    const auto editor = make(night);
    using F = ProfileEditorModel::Field;
    const std::tuple<F, int, const char *> cases[] = {
        {F::DisplayMinutes, 10, "Your organisation allows at most 10 min"},
        {F::DisplayMinutes, 11, "Longer than your organisation allows: at most 10 min"},
        {F::DisplayMinutes, 0, "Longer than your organisation allows: at most 10 min"},
        {F::SleepMinutes, 20, "Your organisation allows at most 20 min (On battery)"},
        {F::SleepMinutes, 0, "Longer than your organisation allows: at most 20 min (On battery)"},
        {F::ScreenSaver, 0, ""},
    };
    for (const auto &[field, minutes, note] : cases) {
        editor->setMinutes(F::DisplayMinutes, 5);
        editor->setMinutes(F::SleepMinutes, 5);
        editor->setMinutes(field, minutes);
        const bool over = QString(note).startsWith("Longer");
        EXPECT_EQ(editor->limitNote(field), note) << minutes;
        EXPECT_EQ(editor->overLimit(field), over) << minutes;
        EXPECT_EQ(editor->canSave(), !over) << minutes;
    }
    editor->setMinutes(F::SleepMinutes, 0);
    editor->save();
    EXPECT_EQ(editor->error(), "Your organisation limits “System Sleep” to 20 min (On battery). "
                               "Nothing was changed.");
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(closes, 0);
}
