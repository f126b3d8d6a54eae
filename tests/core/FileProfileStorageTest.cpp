#include "Profiles/FileProfileStorage.h"

#include "Configuration/ConfigurationError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

QFileDevice::Permissions permissionsOf(const QString &path) {
    return QFileInfo(path).permissions();
}

constexpr QFileDevice::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ExeOwner | QFile::ReadUser |
                                                QFile::WriteUser | QFile::ExeUser;

} // namespace

TEST(FileProfileStorage, DefaultsToNorvaneProfilesJsonInTheUsersDataFolder) {
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    EXPECT_EQ(FileProfileStorage().url(), dataFolder + "/Norvane/profiles.json");
    EXPECT_EQ(FileProfileStorage(QStringLiteral("/x/y.json")).url(), "/x/y.json");
}

TEST(FileProfileStorage, ReadsNothingWithoutAFileAndExactBytesWithOne) {
    QTemporaryDir folder;
    FileProfileStorage storage(folder.filePath("profiles.json"));
    EXPECT_EQ(storage.read(), std::nullopt);

    const QByteArray bytes("{\"a\": \"\xff\xfe not UTF-8\"}\n");
    storage.write(bytes);
    EXPECT_EQ(storage.read(), bytes);
    storage.write("{}");
    EXPECT_EQ(storage.read(), QByteArray("{}")); // replaced whole, nothing left of the longer one
}

TEST(FileProfileStorage, ReadOfSomethingThatIsNotAReadableFileThrowsWithTheSystemsText) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("profiles.json"));
    FileProfileStorage storage(folder.filePath("profiles.json"));
    try {
        (void)storage.read();
        FAIL() << "nothing thrown";
    } catch (const PlatformError &error) {
        EXPECT_TRUE(error.description().contains(storage.url())) << error.what();
        EXPECT_TRUE(error.description().contains("directory")) << error.what();
    }
}

TEST(FileProfileStorage, WriteCreatesMissingFoldersOwnerOnlyAndLeavesExistingOnesAlone) {
    QTemporaryDir folder;
    const QString existing = folder.filePath("existing");
    ASSERT_TRUE(QDir(folder.path()).mkdir("existing"));
    const auto openPermissions =
        kOwnerOnly | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(existing, openPermissions));

    FileProfileStorage storage(existing + "/Application Support/Norvane/profiles.json");
    storage.write("{}");
    EXPECT_EQ(permissionsOf(existing), openPermissions);
    EXPECT_EQ(permissionsOf(existing + "/Application Support"), kOwnerOnly);
    EXPECT_EQ(permissionsOf(existing + "/Application Support/Norvane"), kOwnerOnly);
    EXPECT_EQ(storage.read(), QByteArray("{}"));
    // Only the file is left behind: the temporary file was renamed over it.
    EXPECT_EQ(QDir(existing + "/Application Support/Norvane").entryList(QDir::Files | QDir::Hidden),
              QStringList{"profiles.json"});
}

TEST(FileProfileStorage, WriteThrowsWithTheSystemsTextWhenTheFolderCannotBeCreated) {
    QTemporaryDir folder;
    QFile blocker(folder.filePath("Norvane"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FileProfileStorage storage(folder.filePath("Norvane/profiles.json"));
    EXPECT_EQ(storage.read(), std::nullopt);
    try {
        storage.write("{}");
        FAIL() << "nothing thrown";
    } catch (const PlatformError &error) {
        EXPECT_TRUE(error.description().contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
            << error.what();
    }
}
