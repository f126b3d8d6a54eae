// Storage failures at every point of a run of changes, in the manner of SQLite's I/O-error
// tests: the Nth storage operation fails, for every N, and each time the library, its observer
// and the stored bytes must stay exactly as they were before the failed change.
#include "Localization/L10n.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using test::customProfile;
using test::documentBytes;
using test::MemoryProfileStorage;

namespace {

struct Step {
    const char *name;
    std::function<void(ProfileLibrary &)> run;
};

const std::vector<Step> &scenario() {
    static const std::vector<Step> steps{
        {"save new", [](ProfileLibrary &l) { l.save(customProfile("c3", "Three")); }},
        {"save edit", [](ProfileLibrary &l) { l.save(customProfile("c1", "One", 30)); }},
        {"duplicate", [](ProfileLibrary &l) { (void)l.duplicate("c2"); }},
        {"delete", [](ProfileLibrary &l) { l.remove("c1"); }},
        {"undo", [](ProfileLibrary &l) { l.undoDeletion(); }},
        {"undo older", [](ProfileLibrary &l) { l.undoDeletion(); }},
        {"edit preset",
         [](ProfileLibrary &l) {
             Profile focus = Profile::focus();
             focus.displayMinutes = 15;
             l.save(focus);
         }},
        {"reset preset", [](ProfileLibrary &l) { l.resetPreset("focus"); }},
        {"delete another", [](ProfileLibrary &l) { l.remove("c3"); }},
        {"duplicate normal", [](ProfileLibrary &l) { (void)l.duplicate("normal"); }},
    };
    return steps;
}

QByteArray initialDocument() {
    return documentBytes(Profile::presets() +
                             QList<Profile>{customProfile("c1", "One"), customProfile("c2", "Two")},
                         {customProfile("c0", "Zero")});
}

struct Snapshot {
    QList<Profile> profiles;
    bool canUndoDeletion;
    std::optional<QByteArray> bytes;
    int changes;

    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

// What a fresh library makes of the stored bytes must be what the live library shows.
void expectStorageMatches(const ProfileLibrary &library, const MemoryProfileStorage &storage) {
    ProfileLibrary reloaded(std::make_shared<MemoryProfileStorage>(storage.bytes));
    EXPECT_EQ(reloaded.loadError(), std::nullopt);
    EXPECT_EQ(reloaded.profiles(), library.profiles());
    EXPECT_EQ(reloaded.canUndoDeletion(), library.canUndoDeletion());
}

int operationsOfACleanRun() {
    auto storage = std::make_shared<MemoryProfileStorage>(initialDocument());
    ProfileLibrary library(storage);
    for (const Step &step : scenario())
        step.run(library);
    return storage->operations;
}

} // namespace

TEST(ProfileLibraryFailureInjection, EveryFailedOperationLeavesLibraryFileAndObserverUnchanged) {
    const int operations = operationsOfACleanRun();
    ASSERT_EQ(operations, 1 + int(scenario().size())); // one read, one write per change

    for (int failAt = 1; failAt <= operations; ++failAt) {
        SCOPED_TRACE(testing::Message() << "failing operation " << failAt);
        auto storage = std::make_shared<MemoryProfileStorage>(initialDocument());
        storage->failAt = failAt;
        ProfileLibrary library(storage);
        int changes = 0;
        library.onChange = [&] { ++changes; };
        const auto snapshot = [&] {
            return Snapshot{library.profiles(), library.canUndoDeletion(), storage->bytes, changes};
        };

        if (failAt == 1) {
            // A failed read protects the original document for the whole run.
            EXPECT_EQ(
                library.loadError(),
                L10n::text(
                    {"Could not read saved profiles. Showing factory presets; the original file has not been overwritten.\n{0}",
                     {MemoryProfileStorage::injectedText(1)}}));
            for (const Step &step : scenario()) {
                try {
                    step.run(library);
                } catch (const ConfigurationError &) {
                }
            }
            EXPECT_EQ(library.profiles(), Profile::presets());
            EXPECT_EQ(storage->writes, 0);
            EXPECT_EQ(storage->bytes, initialDocument());
            EXPECT_EQ(changes, 0);
            continue;
        }

        int platformErrors = 0;
        for (const Step &step : scenario()) {
            SCOPED_TRACE(step.name);
            const Snapshot before = snapshot();
            try {
                const int writesBefore = storage->writes;
                step.run(library);
                if (storage->writes == writesBefore) // a step left with nothing to do
                    EXPECT_EQ(snapshot(), before);
                else
                    EXPECT_EQ(changes, before.changes + 1);
            } catch (const PlatformError &error) {
                ++platformErrors;
                EXPECT_EQ(error.description(), MemoryProfileStorage::injectedText(failAt));
                EXPECT_EQ(snapshot(), before);
            } catch (const ConfigurationError &error) {
                // A later step may find its profile missing after an earlier failure.
                EXPECT_EQ(snapshot(), before) << error.what();
            }
            expectStorageMatches(library, *storage);
        }
        EXPECT_TRUE(storage->failed);
        EXPECT_EQ(platformErrors, 1);
    }
}

namespace {

bool canCreateFileIn(const QString &folder) {
    QFile probe(QDir(folder).filePath("probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created)
        probe.remove();
    return created;
}

// Saves through a library whose file cannot be written and checks that nothing changed.
void expectFailedSaveChangesNothing(ProfileLibrary &library, const QString &path) {
    int changes = 0;
    library.onChange = [&] { ++changes; };
    const QList<Profile> before = library.profiles();
    const bool canUndoBefore = library.canUndoDeletion();
    QFile file(path);
    const QByteArray bytesBefore = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();

    EXPECT_THROW(library.save(customProfile("c9", "Unsaved")), PlatformError);
    EXPECT_THROW((void)library.duplicate("focus"), PlatformError);

    EXPECT_EQ(library.profiles(), before);
    EXPECT_EQ(library.canUndoDeletion(), canUndoBefore);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), bytesBefore);
}

} // namespace

TEST(ProfileLibraryFailureInjection, AReadOnlyFolderLeavesEverythingAsItWas) {
    QTemporaryDir folder;
    const QString path = folder.filePath("profiles.json");
    {
        ProfileLibrary writer(std::make_shared<FileProfileStorage>(path));
        writer.save(customProfile("c1", "One"));
        writer.remove("c1");
    }
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner)); // 0500
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (canCreateFileIn(folder.path()))
        GTEST_SKIP() << "folder permissions are not enforced for this user (running as root?)";

    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    ASSERT_EQ(library.loadError(), std::nullopt);
    ASSERT_TRUE(library.canUndoDeletion());
    expectFailedSaveChangesNothing(library, path);
    EXPECT_THROW(library.undoDeletion(), PlatformError);
    EXPECT_TRUE(library.canUndoDeletion());
}

TEST(ProfileLibraryFailureInjection, AFolderThatCannotBeCreatedPassesThePlatformErrorThrough) {
    // A plain file stands where the folder must go, which fails for every user, root included.
    QTemporaryDir folder;
    const QString blocker = folder.filePath("Norvane");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString path = blocker + "/profiles.json";

    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    ASSERT_EQ(library.loadError(), std::nullopt);
    expectFailedSaveChangesNothing(library, path);
    const QString text = test::errorTextFrom([&] { library.resetPreset("vibe"); });
    EXPECT_TRUE(text.contains(blocker)) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << text.toStdString();
}
