// Runs in English (see CMakeLists.txt): the titles of copies are compared as text.
#include "Profiles/ProfileLibrary.h"

#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace norvane;
using test::customProfile;
using test::documentBytes;
using test::errorTextFrom;
using test::MemoryProfileStorage;

namespace {

QString nameTaken() {
    return L10n::text("A profile with this name already exists. Choose another name.");
}

QList<Profile> presetsPlus(const QList<Profile> &custom) {
    return Profile::presets() + custom;
}

// A second library over what the first one stored.
QList<Profile> reloaded(const MemoryProfileStorage &storage) {
    return ProfileLibrary(std::make_shared<MemoryProfileStorage>(storage.bytes)).profiles();
}

} // namespace

// A stored document that must not be used: the library shows the presets, keeps the reason and
// refuses every change, so the original is never overwritten.
TEST(ProfileLibraryLoading, ARejectedDocumentShowsThePresetsAndRefusesEveryChange) {
    const QString header = L10n::text(
        {"Could not read saved profiles. Showing factory presets; the original file has not been overwritten.\n{0}",
         {QString()}});
    const QString duplicate =
        L10n::text("The profiles file contains duplicate or missing profiles.");
    const Profile work = customProfile("c1", "Work");
    QList<Profile> withoutFocus = Profile::presets();
    withoutFocus.removeAt(2);
    const std::pair<QByteArray, QString> rows[] = {
        {documentBytes(Profile::presets(), {}, 2),
         L10n::text("The profiles file version is unsupported.")},
        {documentBytes(withoutFocus), duplicate},
        {documentBytes(presetsPlus({work}), {customProfile("c1", "Old")}), duplicate},
        {documentBytes(withoutFocus, {Profile::focus()}), duplicate},
        {documentBytes(presetsPlus({work, customProfile("c2", "wORK")})), nameTaken()},
        {documentBytes(Profile::presets(), {customProfile("c1", "Work", -1)}),
         L10n::text(
             "Enter a whole number from 0 to 1440 minutes. Zero means never or no automatic return.")},
        // The decoder's own texts.
        {R"({"version": 1, "profiles": [)", {}},
        {"[1, 2, 3]", {}},
        {QByteArray(documentBytes(Profile::presets())).replace("deleted", "removed"), {}},
    };
    for (const auto &[bytes, reason] : rows) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        auto storage = std::make_shared<MemoryProfileStorage>(bytes);
        ProfileLibrary library(storage);
        const QString loadError = library.loadError().value_or(QString());
        EXPECT_TRUE(loadError.startsWith(header) && loadError.endsWith(reason) &&
                    loadError.size() > header.size())
            << loadError.toStdString();
        EXPECT_EQ(library.profiles(), Profile::presets());
        EXPECT_FALSE(library.canUndoDeletion());
        EXPECT_EQ(errorTextFrom([&] { library.save(customProfile("c9", "New")); }), loadError);
        EXPECT_EQ(errorTextFrom([&] { (void)library.duplicate("focus"); }), loadError);
        EXPECT_EQ(errorTextFrom([&] { library.resetPreset("focus"); }), loadError);
        EXPECT_EQ(storage->writes, 0);
    }
}

TEST(ProfileLibrarySave, AppendsNewProfilesReplacesInPlaceAndResetsPresets) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    QList<QList<Profile>> seen;
    library.onChange = [&] { seen.append(library.profiles()); };
    library.save(customProfile("c1", "  Reading "));
    library.save(customProfile("c2", "Writing"));
    library.save(customProfile("c1", "Reading", 45));
    const QList<Profile> expected =
        presetsPlus({customProfile("c1", "Reading", 45), customProfile("c2", "Writing")});
    EXPECT_EQ(reloaded(*storage), expected);
    ASSERT_EQ(seen.size(), 3); // once per change, with the new state already in place
    EXPECT_EQ(seen[0], presetsPlus({customProfile("c1", "Reading")}));
    library.save(Profile("focus", "Focus", ProfileIcon::sliders, 10, 20, 600, 50));
    library.resetPreset("focus");
    EXPECT_EQ(library.profiles(), expected);
}

TEST(ProfileLibrarySave, RejectedChangesLeaveTheLibraryAndTheStorageAlone) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "Deep Work"));
    library.save(customProfile("c3", QString::fromUtf16(u"Caf\u00E9 \u2764\uFE0F")));
    const auto before = library.profiles();
    const std::pair<std::function<void()>, QString> rejected[] = {
        {[&] { library.save(customProfile("c2", "deep WORK")); }, nameTaken()},
        // The same as a person sees it: decomposed, without the emoji presentation selector.
        {[&] { library.save(customProfile("c2", QString::fromUtf16(u"CAFE\u0301 \u2764"))); },
         nameTaken()},
        {[&] { library.remove("normal"); }, L10n::text("Preset profiles cannot be deleted.")},
        {[&] { library.remove("nobody"); }, "<nothing thrown>"},
        {[&] { library.resetPreset("c1"); },
         L10n::text("Only preset profiles can be reset to factory settings.")}};
    for (const auto &[change, error] : rejected)
        EXPECT_EQ(errorTextFrom(change), error);
    EXPECT_EQ(library.profiles(), before);
    EXPECT_EQ(storage->writes, 2);
}

TEST(ProfileLibraryDeletion, UndoRestoresTheLastDeletedAtTheEndRenamedWhenItsTitleWasTaken) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    for (const QString &title : {"One", "Two", "Three"})
        library.save(customProfile(title, title));
    library.remove("Two");
    library.remove("One");
    EXPECT_EQ(reloaded(*storage), presetsPlus({customProfile("Three", "Three")}));
    // Pretty-printed, with sorted keys at every level.
    EXPECT_TRUE(storage->bytes->startsWith(
        "{\n    \"deleted\": [\n        {\n            \"defaultMinutes\": 0,\n"));
    library.save(customProfile("c1", "one"));
    library.save(customProfile("c2", "One 2"));
    library.undoDeletion();
    EXPECT_TRUE(library.canUndoDeletion());
    library.undoDeletion();
    EXPECT_FALSE(library.canUndoDeletion());
    EXPECT_EQ(reloaded(*storage),
              presetsPlus({customProfile("Three", "Three"), customProfile("c1", "one"),
                           customProfile("c2", "One 2"), customProfile("One", "One 3"),
                           customProfile("Two", "Two")}));
}

TEST(ProfileLibraryDuplicate, GivesFreeCopyTitlesNewUpperCaseIdsAndTheStoredSettings) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    Profile normal = Profile::normal();
    normal.displayMinutes = 7;
    library.save(normal);
    EXPECT_EQ(library.normal(), normal);
    const Profile first = library.duplicate("normal");
    const Profile second = library.duplicate("normal");
    EXPECT_EQ(first, Profile(first.id, "Normal Copy", ProfileIcon::leaf, 7, 15, 300, 0));
    EXPECT_EQ(second.title, "Normal Copy 2");
    EXPECT_FALSE(first.isPreset());
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                    .match(first.id)
                    .hasMatch())
        << first.id.toStdString();
    EXPECT_NE(first.id, second.id);
    QList<Profile> expected = presetsPlus({first, second});
    expected[0] = normal;
    EXPECT_EQ(reloaded(*storage), expected);
}
