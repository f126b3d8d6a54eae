// Kills a process that keeps replacing the profiles file, at many different moments, and checks
// that the file always holds one whole document, never a torn one.
#include "ProfileLibraryTestSupport.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

using namespace norvane;
using test::customProfile;
using test::documentBytes;

namespace {

// Documents of clearly different sizes, so a mix of the two cannot pass for either.
QByteArray documentWithCustomProfiles(int count) {
    QList<Profile> profiles = Profile::presets();
    for (int i = 0; i < count; ++i)
        profiles.append(customProfile(QStringLiteral("custom-%1").arg(i),
                                      QStringLiteral("Profile %1").arg(i), i % 1441));
    return documentBytes(profiles);
}

} // namespace

TEST(ProfileFileCrashSafety, AWriterKilledAtAnyMomentLeavesOneWholeDocument) {
    QTemporaryDir folder;
    const QString path = folder.filePath("Norvane/profiles.json");
    const QString pathA = folder.filePath("a.json");
    const QString pathB = folder.filePath("b.json");
    const QByteArray documentA = documentWithCustomProfiles(20);
    const QByteArray documentB = documentWithCustomProfiles(2000);
    test::writeBytes(pathA, documentA);
    test::writeBytes(pathB, documentB);
    FileProfileStorage(path).write(documentA);

    // The delay only decides where in its loop the writer dies; nothing waits on it for a result.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20'000);
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(testing::Message() << "iteration " << i);
        QProcess writer;
        writer.start(QStringLiteral(NORVANE_BIN_DIR "/ProfileFileWriter"), {path, pathA, pathB});
        ASSERT_TRUE(writer.waitForReadyRead(30'000)) << writer.readAllStandardError().toStdString();
        QThread::usleep(delayMicroseconds(random));
        writer.kill(); // SIGKILL
        ASSERT_TRUE(writer.waitForFinished(30'000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit)
            << writer.readAllStandardError().toStdString();
        const QByteArray bytes = test::readBytes(path);
        ASSERT_TRUE(bytes == documentA || bytes == documentB)
            << "torn file of " << bytes.size() << " bytes";
    }
    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    EXPECT_EQ(library.loadError(), std::nullopt);
}

// A writer killed between linking its temporary file and renaming it leaves a full copy beside
// the file; the next start removes those of over a minute ago, not a write in progress or others.
TEST(ProfileFileCrashSafety, TheNextStartRemovesWhatAKilledWriterLeft) {
    QTemporaryDir folder;
    const QString path = folder.filePath("profiles.json");
    FileProfileStorage(path).write(documentWithCustomProfiles(1));
    const struct {
        const char *name;
        bool old;
        bool removed;
    } siblings[] = {
        {"profiles.json.delAvy", true, true},  {"profiles.json.x9Q2aB", false, false},
        {"profiles.json.backup", true, false}, {"profiles.json.abc", true, false},
        {"other.json.delAvy", true, false},    {"profiles.json.delAvy.1", true, false},
    };
    for (const auto &sibling : siblings) {
        QFile file(folder.filePath(sibling.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (sibling.old)
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-120),
                                         QFileDevice::FileModificationTime));
    }
    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    EXPECT_EQ(library.loadError(), std::nullopt);
    for (const auto &sibling : siblings)
        EXPECT_EQ(QFile::exists(folder.filePath(sibling.name)), !sibling.removed) << sibling.name;
}
