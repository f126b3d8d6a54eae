// The profile editor's draft: the defaults of a new profile, the rows it offers for presets and
// for Normal, and the save, delete and cancel paths with their failures.
#include "Editor/ProfileEditorModel.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct EditorTest : ::testing::Test {
    std::unique_ptr<ProfileEditorModel> make(const std::optional<Profile> &profile,
                                             bool offerDelete = false) {
        std::optional<ProfileEditorModel::Delete> onDelete;
        if (offerDelete)
            onDelete = [this] {
                ++deletes;
                if (deleteError)
                    throw PlatformError(*deleteError);
            };
        auto model = std::make_unique<ProfileEditorModel>(
            profile,
            [this](const Profile &saved) {
                if (saveError)
                    throw PlatformError(*saveError);
                this->saved << saved;
            },
            onDelete);
        model->onClose = [this] { ++closes; };
        return model;
    }

    QList<Profile> saved;
    int deletes = 0;
    int closes = 0;
    std::optional<QString> saveError;
    std::optional<QString> deleteError;
};

} // namespace

TEST_F(EditorTest, ANewProfileStartsFromTheDefaults) {
    const auto editor = make(std::nullopt);
    const Profile &draft = editor->draft();
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    EXPECT_TRUE(uuid.match(draft.id).hasMatch()) << draft.id.toStdString();
    EXPECT_EQ(draft.title, "");
    EXPECT_EQ(draft.icon, ProfileIcon::sliders);
    EXPECT_EQ(draft.displayMinutes, 5);
    EXPECT_EQ(draft.sleepMinutes, 15);
    EXPECT_EQ(draft.screenSaverSeconds, 300);
    EXPECT_EQ(draft.defaultMinutes, 0);
    EXPECT_NE(make(std::nullopt)->draft().id, draft.id);

    EXPECT_TRUE(editor->isNew());
    EXPECT_EQ(editor->heading(), L10n::text("Create Your Profile"));
    EXPECT_EQ(editor->primaryTitle(), L10n::text("Create Profile"));
    EXPECT_FALSE(editor->canDelete());
    EXPECT_FALSE(editor->isPreset());
    EXPECT_TRUE(editor->returnEnabled());
    EXPECT_EQ(editor->screenSaverMinutes(), 5);
}

TEST_F(EditorTest, AnExistingProfileIsEditedAsACopy) {
    const Profile night = test::customProfile("night", "Overnight");
    const auto editor = make(night, true);
    EXPECT_EQ(editor->draft(), night);
    EXPECT_FALSE(editor->isNew());
    EXPECT_EQ(editor->heading(), L10n::text("Edit Profile"));
    EXPECT_EQ(editor->primaryTitle(), L10n::text("Save"));
    EXPECT_TRUE(editor->canDelete());
}

TEST_F(EditorTest, TheIconRowOffersEveryIconInOrderWithTheDraftsSelected) {
    const auto editor = make(std::nullopt);
    QSignalSpy changed(editor.get(), &ProfileEditorModel::draftChanged);
    auto selected = [&] {
        QStringList raw;
        for (const QVariant &entry : editor->icons())
            if (entry.toMap().value("selected").toBool())
                raw << entry.toMap().value("rawValue").toString();
        return raw;
    };
    const QVariantList icons = editor->icons();
    ASSERT_EQ(icons.size(), qsizetype(ProfileIcon::allCases().size()));
    for (qsizetype i = 0; i < icons.size(); ++i) {
        const ProfileIcon icon = ProfileIcon::allCases()[size_t(i)];
        const QVariantMap entry = icons[i].toMap();
        EXPECT_EQ(entry.value("rawValue").toString(), icon.rawValue());
        EXPECT_EQ(entry.value("symbol").toString(), icon.symbol());
        EXPECT_EQ(entry.value("title").toString(), icon.title());
    }
    EXPECT_EQ(selected(), QStringList{ProfileIcon(ProfileIcon::sliders).rawValue()});

    const QString leaf = ProfileIcon(ProfileIcon::leaf).rawValue();
    editor->setIcon(leaf);
    EXPECT_EQ(editor->draft().icon, ProfileIcon::leaf);
    EXPECT_EQ(selected(), QStringList{leaf});
    EXPECT_EQ(editor->symbol(), "leaf");
    editor->setIcon("no such icon");
    editor->setIcon(leaf);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(editor->draft().icon, ProfileIcon::leaf);
}

TEST_F(EditorTest, SavingHandsOverTheValidatedDraftAndCloses) {
    const auto editor = make(std::nullopt);
    editor->setTitle("  Overnight Downloads ");
    editor->setMinutes(ProfileEditorModel::DisplayMinutes, 10);
    editor->setMinutes(ProfileEditorModel::SleepMinutes, 0);
    editor->setMinutes(ProfileEditorModel::ScreenSaver, 25);
    editor->setMinutes(ProfileEditorModel::AutomaticReturn, 480);
    editor->save();

    ASSERT_EQ(saved.size(), 1);
    const Profile &profile = saved.first();
    EXPECT_EQ(profile.id, editor->draft().id);
    EXPECT_EQ(profile.title, "Overnight Downloads");
    EXPECT_EQ(profile.displayMinutes, 10);
    EXPECT_EQ(profile.sleepMinutes, 0);
    EXPECT_EQ(profile.screenSaverSeconds, 1500);
    EXPECT_EQ(profile.defaultMinutes, 480);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(editor->error());
}

TEST_F(EditorTest, AnInvalidDraftShowsWhyAndStaysOpenUnchanged) {
    const auto editor = make(std::nullopt);
    QSignalSpy errors(editor.get(), &ProfileEditorModel::errorChanged);
    editor->setTitle("   ");
    const Profile before = editor->draft();
    editor->save();

    const QString expected = test::errorTextFrom([&] { (void)before.validated(); });
    EXPECT_EQ(editor->errorText(), expected);
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(errors.count(), 1);
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(editor->draft(), before);

    // The message stays until the next failure replaces it, and a success closes.
    editor->setTitle(QString(200, u'x'));
    EXPECT_EQ(editor->errorText(), expected);
    saveError = "Disk full";
    editor->setTitle("Night");
    editor->save();
    EXPECT_EQ(editor->errorText(), "Disk full");
    EXPECT_EQ(closes, 0);
    saveError.reset();
    editor->save();
    EXPECT_EQ(saved.size(), 1);
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, AFailedStoreKeepsTheDraftAndTheSheet) {
    const auto editor = make(test::customProfile("night", "Overnight"), true);
    editor->setMinutes(ProfileEditorModel::DisplayMinutes, 30);
    saveError = "The profiles file is read-only";
    editor->save();
    EXPECT_EQ(editor->errorText(), "The profiles file is read-only");
    EXPECT_EQ(editor->draft().displayMinutes, 30);
    EXPECT_EQ(closes, 0);
}

TEST_F(EditorTest, APresetKeepsItsNameOffersNoDeleteAndStillSaves) {
    const auto editor = make(Profile::vibe());
    EXPECT_TRUE(editor->isPreset());
    EXPECT_EQ(editor->presetTitle(), Profile::vibe().localizedTitle());
    EXPECT_FALSE(editor->canDelete());
    editor->remove();
    EXPECT_EQ(deletes, 0);
    EXPECT_EQ(closes, 0);

    editor->setMinutes(ProfileEditorModel::SleepMinutes, 60);
    editor->save();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().title, Profile::vibe().title);
    EXPECT_EQ(saved.first().sleepMinutes, 60);
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, NormalHasNoAutomaticReturn) {
    const auto editor = make(Profile::normal());
    EXPECT_FALSE(editor->returnEnabled());
    editor->setMinutes(ProfileEditorModel::AutomaticReturn, 30);
    EXPECT_EQ(editor->draft().defaultMinutes, 0);
    EXPECT_TRUE(make(Profile::focus())->returnEnabled());
}

TEST_F(EditorTest, TheScreenSaverShowsWholeMinutesAndKeepsSecondsUntilPicked) {
    Profile odd = test::customProfile("odd", "Odd");
    odd.screenSaverSeconds = 90;
    const auto editor = make(odd);
    EXPECT_EQ(editor->screenSaverMinutes(), 1);
    editor->setMinutes(ProfileEditorModel::DisplayMinutes, 2);
    editor->setMinutes(ProfileEditorModel::SleepMinutes, 30);
    EXPECT_EQ(editor->draft().screenSaverSeconds, 90);

    editor->setMinutes(ProfileEditorModel::ScreenSaver, 1);
    EXPECT_EQ(editor->draft().screenSaverSeconds, 60);
}

TEST_F(EditorTest, DeletingClosesOnSuccessAndShowsAFailure) {
    const auto editor = make(test::customProfile("night", "Overnight"), true);
    deleteError = "Could not write the profiles file";
    editor->remove();
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(editor->errorText(), "Could not write the profiles file");
    EXPECT_EQ(closes, 0);
    deleteError.reset();
    editor->remove();
    EXPECT_EQ(deletes, 2);
    EXPECT_EQ(closes, 1);
}

TEST_F(EditorTest, CancelClosesWithoutSaving) {
    const auto editor = make(test::customProfile("night", "Overnight"));
    editor->setTitle("Changed");
    editor->cancel();
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(closes, 1);
}
