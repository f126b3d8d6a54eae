// The profiles file and its failures: in memory at every point of a run of changes, in the manner
// of SQLite's I/O-error tests (the Nth storage operation fails, for every N, and each time the
// library, its observer and the stored bytes must stay exactly as they were before the failed
// change), then on a real file.
#include "ProfileLibraryTestSupport.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using test::customProfile;
using test::MemoryProfileStorage;

namespace {

const std::vector<std::function<void(ProfileLibrary &)>> kSteps{
    [](ProfileLibrary &l) { l.save(customProfile("c3", "Three")); },
    [](ProfileLibrary &l) { l.save(customProfile("c1", "One", 30)); },
    [](ProfileLibrary &l) { (void)l.duplicate("c2"); },
    [](ProfileLibrary &l) { l.remove("c1"); },
    [](ProfileLibrary &l) { l.undoDeletion(); },
    [](ProfileLibrary &l) { l.undoDeletion(); },
    [](ProfileLibrary &l) { l.save(Profile("focus", "Focus", ProfileIcon::focus, 15, 0, 0, 25)); },
    [](ProfileLibrary &l) { l.resetPreset("focus"); },
    [](ProfileLibrary &l) { l.remove("c3"); },
    [](ProfileLibrary &l) { (void)l.duplicate("normal"); },
};

QByteArray initialDocument() {
    return test::documentBytes(
        Profile::presets() + QList<Profile>{customProfile("c1", "One"), customProfile("c2", "Two")},
        {customProfile("c0", "Zero")});
}

struct Snapshot {
    QList<Profile> profiles;
    bool canUndoDeletion;
    std::optional<QByteArray> bytes;
    int changes;
    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

} // namespace

TEST(ProfileLibraryFailureInjection, EveryFailedOperationLeavesLibraryFileAndObserverUnchanged) {
    const int operations = 1 + int(kSteps.size()); // one read, one write per change
    for (int failAt = 1; failAt <= operations + 1; ++failAt) {
        SCOPED_TRACE(testing::Message() << "failing operation " << failAt);
        auto storage = std::make_shared<MemoryProfileStorage>(initialDocument());
        storage->failAt = failAt;
        ProfileLibrary library(storage);
        int changes = 0;
        library.onChange = [&] { ++changes; };
        const auto snapshot = [&] {
            return Snapshot{library.profiles(), library.canUndoDeletion(), storage->bytes, changes};
        };
        // A failed read protects the original document for the whole run.
        EXPECT_EQ(library.loadError().has_value(), failAt == 1);
        int platformErrors = 0;
        for (const auto &step : kSteps) {
            SCOPED_TRACE(testing::Message() << "step " << &step - kSteps.data());
            const Snapshot before = snapshot();
            const int writesBefore = storage->writes;
            try {
                step(library);
                if (storage->writes == writesBefore) // a step left with nothing to do
                    EXPECT_EQ(snapshot(), before);
                else
                    EXPECT_EQ(changes, before.changes + 1);
            } catch (const PlatformError &error) {
                ++platformErrors;
                EXPECT_EQ(error.description(), MemoryProfileStorage::injectedText(failAt));
                EXPECT_EQ(snapshot(), before);
            } catch (const ConfigurationError &error) {
                // A step may find its profile missing after an earlier failure, or the library
                // protected after a failed read.
                EXPECT_EQ(snapshot(), before) << error.what();
            }
            if (failAt > 1) {
                // What a fresh library makes of the stored bytes is what the live one shows.
                ProfileLibrary reloaded(std::make_shared<MemoryProfileStorage>(storage->bytes));
                EXPECT_EQ(reloaded.profiles(), library.profiles());
                EXPECT_EQ(reloaded.canUndoDeletion(), library.canUndoDeletion());
            }
        }
        if (failAt > operations)
            EXPECT_EQ(storage->operations, operations); // the clean run
        else
            EXPECT_EQ(platformErrors, failAt == 1 ? 0 : 1);
    }
}

TEST(FileProfileStorage, AFolderWhereTheFileShouldBeFailsReadAndWriteWithItsPath) {
    QTemporaryDir folder;
    const QString path = folder.filePath("profiles.json");
    ASSERT_TRUE(QDir(folder.path()).mkdir("profiles.json"));
    EXPECT_TRUE(test::errorTextFrom([&] { FileProfileStorage(path).write("{}"); }).contains(path));
    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    EXPECT_TRUE(library.loadError().value_or(QString()).contains(path));
    EXPECT_TRUE(FileProfileStorage().url().endsWith("/Norvane/profiles.json"));
}
