#include "Profiles/ProfileLibrary.h"

#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/FileProfileStorage.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>
#include <gtest/gtest.h>

using namespace norvane;
using test::customProfile;
using test::documentBytes;
using test::errorTextFrom;
using test::MemoryProfileStorage;

namespace {

QString duplicateOrMissing() {
    return L10n::text("The profiles file contains duplicate or missing profiles.");
}
QString nameTaken() {
    return L10n::text("A profile with this name already exists. Choose another name.");
}
QString copySuffix() {
    return L10n::text(" Copy");
}

QString loadMessage(const QString &description) {
    return L10n::text(
        {"Could not read saved profiles. Showing factory presets; the original file has not been overwritten.\n{0}",
         {description}});
}

qsizetype graphemeCount(const QString &text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

QString repeated(const QString &grapheme, int times) {
    QString result;
    for (int i = 0; i < times; ++i)
        result += grapheme;
    return result;
}

QList<Profile> presetsPlus(const QList<Profile> &custom) {
    return Profile::presets() + custom;
}

QStringList titles(const QList<Profile> &profiles) {
    QStringList result;
    for (const Profile &profile : profiles)
        result << profile.title;
    return result;
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

// A library over a real profiles file in a temporary folder, counting change notifications.
struct FileLibrary {
    explicit FileLibrary(const std::optional<QByteArray> &initialBytes = std::nullopt) {
        if (initialBytes) {
            QDir().mkpath(QFileInfo(path).path());
            writeBytes(path, *initialBytes);
        }
        library = std::make_unique<ProfileLibrary>(std::make_shared<FileProfileStorage>(path));
        library->onChange = [this] { ++changes; };
    }

    // A second library reading what the first one wrote.
    [[nodiscard]] std::unique_ptr<ProfileLibrary> reloaded() const {
        return std::make_unique<ProfileLibrary>(std::make_shared<FileProfileStorage>(path));
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Norvane/profiles.json"));
    std::unique_ptr<ProfileLibrary> library;
    int changes = 0;
};

} // namespace

TEST(ProfileLibraryLoading, NoStoredDocumentGivesThePresetsAndWritesNothingUntilAChange) {
    FileLibrary files;
    ProfileLibrary &library = *files.library;
    EXPECT_EQ(library.profiles(), Profile::presets());
    EXPECT_FALSE(library.canUndoDeletion());
    EXPECT_EQ(library.loadError(), std::nullopt);
    EXPECT_EQ(library.normal(), Profile::normal());
    EXPECT_EQ(library.profile("focus"), Profile::focus());
    EXPECT_EQ(library.profile("missing"), std::nullopt);
    EXPECT_FALSE(QFile::exists(files.path));
    EXPECT_FALSE(QFile::exists(files.folder.filePath("Norvane")));

    library.save(customProfile("c1", "Reading"));
    EXPECT_TRUE(QFile::exists(files.path));
    EXPECT_EQ(files.reloaded()->profiles(), presetsPlus({customProfile("c1", "Reading")}));
}

TEST(ProfileLibraryLoading, AValidDocumentLoadsInItsOwnOrderWithItsDeletedProfiles) {
    const QList<Profile> profiles{Profile::focus(),        customProfile("c1", "Reading"),
                                  Profile::normal(),       Profile::download(),
                                  Profile::presentation(), Profile::vibe()};
    auto storage = std::make_shared<MemoryProfileStorage>(
        documentBytes(profiles, {customProfile("c0", "Old")}));
    ProfileLibrary library(storage);
    EXPECT_EQ(library.loadError(), std::nullopt);
    EXPECT_EQ(library.profiles(), profiles);
    EXPECT_TRUE(library.canUndoDeletion());
    EXPECT_EQ(library.profile("c0"), std::nullopt); // deleted profiles are not searched
}

TEST(ProfileLibraryLoading, PaddedTitlesLoadTrimmedAndTheFileStaysUntouchedUntilTheNextChange) {
    const QByteArray original =
        documentBytes({Profile::normal(), Profile::vibe(), customProfile("c1", "  Deep Work \n"),
                       Profile("focus", "Focus ", ProfileIcon::focus, 0, 0, 0, 25),
                       Profile::presentation(), Profile::download()});
    FileLibrary files(original);
    EXPECT_EQ(files.library->loadError(), std::nullopt);
    EXPECT_EQ(files.library->profile("c1")->title, "Deep Work");
    EXPECT_EQ(files.library->profile("focus"), Profile::focus());
    EXPECT_EQ(readBytes(files.path), original);

    files.library->save(customProfile("c2", "Reading"));
    const QString written = QString::fromUtf8(readBytes(files.path));
    EXPECT_TRUE(written.contains("\"Deep Work\"")) << written.toStdString();
    EXPECT_FALSE(written.contains("Focus ")) << written.toStdString();
}

TEST(ProfileLibraryLoading, NormalIsTheStoredOneWhenEdited) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    Profile edited = Profile::normal();
    edited.sleepMinutes = 30;
    library.save(edited);
    EXPECT_EQ(library.normal(), edited);
}

// A stored document that must not be used: the library shows the presets, keeps the reason and
// never overwrites the file.
struct RejectedDocument {
    const char *name;
    QByteArray bytes;
    std::optional<QString> description; // none: the decoder's own text
};

class ProtectedLibrary : public testing::TestWithParam<RejectedDocument> {};

TEST_P(ProtectedLibrary, ShowsThePresetsAndRefusesEveryChangeWithoutTouchingTheFile) {
    const RejectedDocument &rejected = GetParam();
    FileLibrary files(rejected.bytes);
    ProfileLibrary &library = *files.library;

    ASSERT_TRUE(library.loadError().has_value());
    const QString loadError = *library.loadError();
    if (rejected.description) {
        EXPECT_EQ(loadError, loadMessage(*rejected.description));
    } else {
        const QString header = loadMessage(QString());
        EXPECT_TRUE(loadError.startsWith(header)) << loadError.toStdString();
        EXPECT_GT(loadError.size(), header.size()) << "the reason is missing";
    }
    EXPECT_EQ(library.profiles(), Profile::presets());
    EXPECT_FALSE(library.canUndoDeletion());

    EXPECT_EQ(errorTextFrom([&] { library.save(customProfile("c9", "New")); }), loadError);
    EXPECT_EQ(errorTextFrom([&] { library.save(Profile::normal()); }), loadError);
    EXPECT_EQ(errorTextFrom([&] { (void)library.duplicate("focus"); }), loadError);
    EXPECT_EQ(errorTextFrom([&] { library.resetPreset("focus"); }), loadError);
    // These two never reach a write: the shown document has no custom profile and nothing
    // deleted.
    EXPECT_EQ(errorTextFrom([&] { library.remove("vibe"); }),
              L10n::text("Preset profiles cannot be deleted."));
    EXPECT_EQ(errorTextFrom([&] { library.remove("c1"); }), "<nothing thrown>");
    EXPECT_EQ(errorTextFrom([&] { library.undoDeletion(); }), "<nothing thrown>");

    EXPECT_EQ(readBytes(files.path), rejected.bytes);
    EXPECT_EQ(library.profiles(), Profile::presets());
    EXPECT_EQ(library.loadError(), loadError);
    EXPECT_EQ(files.changes, 0);
}

namespace {

QList<Profile> presetsWithout(const QString &id) {
    QList<Profile> result = Profile::presets();
    result.removeIf([&](const Profile &p) { return p.id == id; });
    return result;
}

QByteArray withoutKey(const QByteArray &document, const QString &key) {
    QJsonObject object = QJsonDocument::fromJson(document).object();
    object.remove(key);
    return QJsonDocument(object).toJson();
}

std::vector<RejectedDocument> rejectedDocuments() {
    const QString minutes = L10n::text(
        "Enter a whole number from 0 to 1440 minutes. Zero means never or no automatic return.");
    const QByteArray valid = documentBytes(presetsPlus({customProfile("c1", "Work")}));
    QByteArray unknownIcon = valid;
    unknownIcon.replace("\"sliders\"", "\"rocket\"");
    QByteArray stringMinutes = valid;
    stringMinutes.replace("\"displayMinutes\": 10", "\"displayMinutes\": \"10\"");
    return {
        {"Version2", documentBytes(Profile::presets(), {}, 2),
         L10n::text("The profiles file version is unsupported.")},
        {"FocusPresetMissing", documentBytes(presetsWithout("focus")), duplicateOrMissing()},
        {"SameIdInProfilesAndDeleted",
         documentBytes(presetsPlus({customProfile("c1", "Work")}), {customProfile("c1", "Old")}),
         duplicateOrMissing()},
        {"SameIdTwiceInProfiles",
         documentBytes(presetsPlus({customProfile("c1", "Work"), customProfile("c1", "Rest")})),
         duplicateOrMissing()},
        {"PresetInDeleted", documentBytes(presetsWithout("vibe"), {Profile::vibe()}),
         duplicateOrMissing()},
        {"TitlesEqualIgnoringCase",
         documentBytes(presetsPlus({customProfile("c1", "Work"), customProfile("c2", "wORK")})),
         nameTaken()},
        {"CustomTitledLikeAPresetInAnotherCase",
         documentBytes(presetsPlus({customProfile("c1", "FOCUS")})), nameTaken()},
        {"InvalidProfile", documentBytes(presetsPlus({customProfile("c1", "Work", 2000)})),
         minutes},
        {"InvalidDeletedProfile",
         documentBytes(Profile::presets(), {customProfile("c1", "Work", -1)}), minutes},
        {"NotJson", QByteArray("{\"version\": 1, \"profiles\": ["), std::nullopt},
        {"NotAnObject", QByteArray("[1, 2, 3]"), std::nullopt},
        {"DeletedKeyMissing", withoutKey(valid, "deleted"), std::nullopt},
        {"VersionKeyMissing", withoutKey(valid, "version"), std::nullopt},
        {"ProfileKeyMissing", QByteArray(valid).replace("\"sleepMinutes\"", "\"sleepMinute\""),
         std::nullopt},
        {"ValueOfWrongType", stringMinutes, std::nullopt},
        {"IconUnknown", unknownIcon, std::nullopt},
    };
}

} // namespace

INSTANTIATE_TEST_SUITE_P(RejectedDocuments, ProtectedLibrary,
                         testing::ValuesIn(rejectedDocuments()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ProfileLibraryLoading, AFileThatCannotBeReadLeavesTheLibraryProtected) {
    QTemporaryDir folder;
    // A folder where the file should be: exists, but cannot be read as a file (even by root).
    ASSERT_TRUE(QDir(folder.path()).mkpath("profiles.json"));
    ProfileLibrary library(std::make_shared<FileProfileStorage>(folder.filePath("profiles.json")));
    ASSERT_TRUE(library.loadError().has_value());
    EXPECT_TRUE(library.loadError()->startsWith(loadMessage(QString())));
    EXPECT_TRUE(library.loadError()->contains(folder.filePath("profiles.json")));
    EXPECT_EQ(library.profiles(), Profile::presets());
}

TEST(ProfileLibrarySave, AppendsANewProfileAndReplacesAnExistingOneInPlace) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    QList<QList<Profile>> seen;
    library.onChange = [&] { seen.append(library.profiles()); };

    library.save(customProfile("c1", "  Reading "));
    library.save(customProfile("c2", "Writing"));
    library.save(customProfile("c1", "Reading", 45));
    const QList<Profile> expected =
        presetsPlus({customProfile("c1", "Reading", 45), customProfile("c2", "Writing")});
    EXPECT_EQ(library.profiles(), expected);
    ASSERT_EQ(seen.size(), 3); // once per change, with the new state already in place
    EXPECT_EQ(seen[0], presetsPlus({customProfile("c1", "Reading")}));
    EXPECT_EQ(seen[2], expected);
    EXPECT_EQ(storage->writes, 3);
}

TEST(ProfileLibrarySave, RejectsATitleTakenIgnoringCaseButAcceptsTheProfilesOwnTitle) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "Deep Work"));
    library.save(customProfile("c2", "Other"));
    const auto before = library.profiles();
    const auto bytes = storage->bytes;
    int changes = 0;
    library.onChange = [&] { ++changes; };

    EXPECT_EQ(errorTextFrom([&] { library.save(customProfile("c2", "deep WORK")); }), nameTaken());
    EXPECT_EQ(errorTextFrom([&] { library.save(customProfile("c3", "normal")); }), nameTaken());
    EXPECT_EQ(library.profiles(), before);
    EXPECT_EQ(storage->bytes, bytes);
    EXPECT_EQ(changes, 0);

    library.save(customProfile("c1", "Deep Work", 30));
    library.save(customProfile("c2", "OTHER"));
    EXPECT_EQ(library.profile("c1"), customProfile("c1", "Deep Work", 30));
    EXPECT_EQ(library.profile("c2")->title, "OTHER");
    EXPECT_EQ(changes, 2);
}

TEST(ProfileLibrarySave, AnInvalidProfileFailsWithItsValidationMessage) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    Profile renamedPreset = Profile::vibe();
    renamedPreset.title = "Party";
    EXPECT_EQ(errorTextFrom([&] { library.save(renamedPreset); }),
              L10n::text("Preset names cannot be changed. Create a custom profile instead."));
    EXPECT_EQ(errorTextFrom([&] { library.save(customProfile("c1", "")); }),
              L10n::text("Names must contain 1–32 characters and no line breaks."));
    EXPECT_EQ(storage->writes, 0);
    EXPECT_EQ(library.profiles(), Profile::presets());
}

TEST(ProfileLibraryDeletion, MovesToTheEndOfDeletedAndUndoRestoresAtTheEndWithTheSameId) {
    FileLibrary files;
    ProfileLibrary &library = *files.library;
    library.save(customProfile("c1", "One"));
    library.save(customProfile("c2", "Two"));
    library.save(customProfile("c3", "Three"));
    library.remove("c2");
    library.remove("c1");

    auto stored = files.reloaded();
    EXPECT_EQ(stored->profiles(), presetsPlus({customProfile("c3", "Three")}));
    const QJsonObject file = QJsonDocument::fromJson(readBytes(files.path)).object();
    EXPECT_EQ(file["deleted"].toArray(),
              test::jsonProfiles({customProfile("c2", "Two"), customProfile("c1", "One")}));

    // The later deletion comes back first, at the end of the list.
    library.undoDeletion();
    EXPECT_EQ(library.profiles(),
              presetsPlus({customProfile("c3", "Three"), customProfile("c1", "One")}));
    EXPECT_TRUE(library.canUndoDeletion());
    library.undoDeletion();
    EXPECT_EQ(library.profiles(),
              presetsPlus({customProfile("c3", "Three"), customProfile("c1", "One"),
                           customProfile("c2", "Two")}));
    EXPECT_FALSE(library.canUndoDeletion());
    EXPECT_EQ(files.reloaded()->profiles(), library.profiles());
    EXPECT_EQ(files.changes, 7);
}

TEST(ProfileLibraryDeletion, PresetsCannotBeDeletedAndUnknownIdsAndEmptyUndoDoNothing) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "One"));
    library.remove("c1");
    library.undoDeletion();
    int changes = 0;
    library.onChange = [&] { ++changes; };
    const int writes = storage->writes;

    EXPECT_EQ(errorTextFrom([&] { library.remove("normal"); }),
              L10n::text("Preset profiles cannot be deleted."));
    library.remove("nobody");
    library.remove("");
    library.undoDeletion();
    EXPECT_EQ(library.profiles(), presetsPlus({customProfile("c1", "One")}));
    EXPECT_EQ(storage->writes, writes);
    EXPECT_EQ(changes, 0);
}

TEST(ProfileLibraryDeletion, UndoRenamesWithTheNextFreeNumberWhenTheTitleWasTaken) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "Title"));
    library.remove("c1");
    library.save(customProfile("c2", "TITLE"));
    library.undoDeletion();
    EXPECT_EQ(library.profile("c1"), customProfile("c1", "Title 2"));

    library.save(customProfile("c3", "Other"));
    library.remove("c3");
    library.save(customProfile("c4", "other"));
    library.save(customProfile("c5", "Other 2"));
    library.undoDeletion();
    EXPECT_EQ(library.profile("c3")->title, "Other 3");

    const QString longTitle = repeated("x", 32);
    library.save(customProfile("c6", longTitle));
    library.remove("c6");
    library.save(customProfile("c7", longTitle));
    library.undoDeletion();
    EXPECT_EQ(library.profile("c6")->title, repeated("x", 30) + " 2");
    EXPECT_EQ(titles(library.profiles()).last(), repeated("x", 30) + " 2");
}

TEST(ProfileLibraryDuplicate, FocusTwiceGivesCopyThenCopy2WithNewUpperCaseIds) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    const Profile first = library.duplicate("focus");
    const Profile second = library.duplicate("focus");

    EXPECT_EQ(first.title, L10n::text("Focus") + copySuffix());
    EXPECT_EQ(second.title, L10n::text("Focus") + copySuffix() + " 2");
    if (copySuffix() == " Copy" && L10n::text("Focus") == "Focus") {
        EXPECT_EQ(first.title, "Focus Copy");
        EXPECT_EQ(second.title, "Focus Copy 2");
    }
    const QRegularExpression uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    EXPECT_TRUE(uuid.match(first.id).hasMatch()) << first.id.toStdString();
    EXPECT_TRUE(uuid.match(second.id).hasMatch()) << second.id.toStdString();
    EXPECT_NE(first.id, second.id);
    EXPECT_EQ(first.icon, ProfileIcon::focus);
    EXPECT_EQ(first.defaultMinutes, 25);
    EXPECT_EQ(library.profiles(), presetsPlus({first, second}));
}

TEST(ProfileLibraryDuplicate, NormalGivesACustomProfileWithNormalsSettings) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    Profile edited = Profile::normal();
    edited.displayMinutes = 7;
    library.save(edited);
    const Profile copy = library.duplicate("normal");
    EXPECT_FALSE(copy.isPreset());
    EXPECT_FALSE(copy.isNormal());
    EXPECT_EQ(copy.icon, ProfileIcon::leaf);
    EXPECT_EQ(copy.displayMinutes, 7);
    EXPECT_EQ(copy.sleepMinutes, 15);
    EXPECT_EQ(copy.screenSaverSeconds, 300);
    EXPECT_EQ(copy.defaultMinutes, 0);
    EXPECT_EQ(library.profile(copy.id), copy);
}

TEST(ProfileLibraryDuplicate, LongTitlesAreShortenedByWholeCharactersToStayWithin32) {
    const qsizetype keep = 32 - graphemeCount(copySuffix());
    // Plain letters, flags (four code units each) and letters with a combining accent.
    for (const QString &grapheme :
         {QStringLiteral("a"), QString::fromUtf8("🇯🇵"), QString::fromUtf8("e\u0301")}) {
        SCOPED_TRACE(grapheme.toStdString());
        auto storage = std::make_shared<MemoryProfileStorage>();
        ProfileLibrary library(storage);
        library.save(customProfile("c1", repeated(grapheme, 32)));

        const Profile first = library.duplicate("c1");
        EXPECT_EQ(first.title, repeated(grapheme, int(keep)) + copySuffix());
        EXPECT_EQ(graphemeCount(first.title), 32);
        const Profile second = library.duplicate("c1");
        EXPECT_EQ(second.title, repeated(grapheme, int(keep)) +
                                    copySuffix().first(copySuffix().size() - 2) + " 2");
        EXPECT_EQ(graphemeCount(second.title), 32);
    }
}

TEST(ProfileLibraryDuplicate, UnknownIdFailsAndNothingIsWritten) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "One"));
    library.remove("c1");
    EXPECT_EQ(errorTextFrom([&] { (void)library.duplicate("c1"); }),
              L10n::text("Could not find the profile to duplicate."));
    EXPECT_EQ(storage->writes, 2);
}

TEST(ProfileLibraryReset, RestoresFactoryValuesInPlaceAndRejectsNonPresets) {
    auto storage = std::make_shared<MemoryProfileStorage>();
    ProfileLibrary library(storage);
    library.save(customProfile("c1", "One"));
    Profile focus = Profile::focus();
    focus.displayMinutes = 10;
    focus.sleepMinutes = 20;
    focus.screenSaverSeconds = 600;
    focus.defaultMinutes = 50;
    focus.icon = ProfileIcon::sliders;
    library.save(focus);
    ASSERT_EQ(library.profiles()[2], focus);

    library.resetPreset("focus");
    EXPECT_EQ(library.profiles(), presetsPlus({customProfile("c1", "One")}));

    const QString notPreset = L10n::text("Only preset profiles can be reset to factory settings.");
    EXPECT_EQ(errorTextFrom([&] { library.resetPreset("c1"); }), notPreset);
    EXPECT_EQ(errorTextFrom([&] { library.resetPreset("Focus"); }), notPreset);
    EXPECT_EQ(storage->writes, 3);
}

TEST(ProfilesFile, IsPrettyPrintedWithSortedKeysAtEveryLevel) {
    FileLibrary files;
    files.library->save(customProfile("c1", "One"));
    files.library->remove("c1");
    const QByteArray bytes = readBytes(files.path);

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(document.object().keys(), QStringList({"deleted", "profiles", "version"}));
    EXPECT_EQ(document.object()["version"], 1);
    EXPECT_EQ(document.object()["profiles"].toArray(), test::jsonProfiles(Profile::presets()));
    EXPECT_EQ(document.object()["deleted"].toArray(),
              test::jsonProfiles({customProfile("c1", "One")}));

    // Keys in the order they stand in the text, one member per line.
    const QStringList profileKeys{"defaultMinutes",     "displayMinutes", "icon", "id",
                                  "screenSaverSeconds", "sleepMinutes",   "title"};
    QStringList expected{"deleted"};
    expected += profileKeys;
    expected << "profiles";
    for (int i = 0; i < 5; ++i)
        expected += profileKeys;
    expected << "version";
    QStringList keysInText;
    const QStringList lines = QString::fromUtf8(bytes).split('\n');
    static const QRegularExpression member(R"re(^\s*"(\w+)"\s*:)re");
    for (const QString &line : lines) {
        const auto match = member.match(line);
        if (match.hasMatch())
            keysInText << match.captured(1);
        EXPECT_LE(line.count(':'), 1) << line.toStdString();
    }
    EXPECT_EQ(keysInText, expected);
}
