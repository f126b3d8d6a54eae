#include "Profiles/FileProfileStorage.h"

#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "TestSupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

TEST(FileProfileStorage, ReadsNothingWithoutAFileAndExactBytesWithOne) {
    EXPECT_EQ(FileProfileStorage().url(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  "/Norvane/profiles.json");
    QTemporaryDir folder;
    FileProfileStorage storage(folder.filePath("profiles.json"));
    EXPECT_EQ(storage.read(), std::nullopt);

    const QByteArray bytes("{\"a\": \"\xff\xfe not UTF-8\"}\n");
    storage.write(bytes);
    EXPECT_EQ(storage.read(), bytes);
    storage.write("{}");
    EXPECT_EQ(storage.read(), QByteArray("{}")); // replaced whole, nothing left of the longer one
}

TEST(FileProfileStorage, WriteCreatesMissingFoldersOwnerOnlyAndLeavesExistingOnesAlone) {
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
    const QString inner = folder.filePath("Application Support/Norvane");
    FileProfileStorage(inner + "/profiles.json").write("{}");
    EXPECT_EQ(test::posixMode(folder.path()), 0705);
    EXPECT_EQ(test::posixMode(folder.filePath("Application Support")), 0700);
    EXPECT_EQ(test::posixMode(inner), 0700);
    // Only the file is left behind: the temporary file was renamed over it.
    EXPECT_EQ(QDir(inner).entryList(QDir::Files | QDir::Hidden), QStringList{"profiles.json"});
}

TEST(FileProfileStorage, AFolderWhereTheFileShouldBeFailsReadAndWriteWithItsPath) {
    QTemporaryDir folder;
    const QString path = folder.filePath("profiles.json");
    ASSERT_TRUE(QDir(folder.path()).mkdir("profiles.json"));
    EXPECT_TRUE(test::errorTextFrom([&] { FileProfileStorage(path).write("{}"); }).contains(path));
    // The library shows the presets and says why.
    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    EXPECT_TRUE(library.loadError().value_or(QString()).contains(path));
    EXPECT_EQ(library.profiles(), Profile::presets());
}

TEST(FileProfileStorage, AFolderThatCannotBeCreatedFailsEveryChangeAndChangesNothing) {
    // A plain file stands where the folder must go, which fails for every user, root included.
    QTemporaryDir folder;
    const QString blocker = folder.filePath("Norvane");
    test::writeBytes(blocker, "");
    ProfileLibrary library(std::make_shared<FileProfileStorage>(blocker + "/profiles.json"));
    ASSERT_EQ(library.loadError(), std::nullopt);
    int changes = 0;
    library.onChange = [&] { ++changes; };

    const QString text =
        test::errorTextFrom([&] { library.save(test::customProfile("c9", "Unsaved")); });
    EXPECT_TRUE(text.contains(blocker)) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << text.toStdString();
    EXPECT_THROW(library.resetPreset("vibe"), PlatformError);
    EXPECT_EQ(library.profiles(), Profile::presets());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(test::readBytes(blocker), QByteArray());
}
