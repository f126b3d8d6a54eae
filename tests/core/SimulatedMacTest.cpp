#include "Platform/Simulated/SimulatedMac.h"

#include "Platform/JsonDecoding.h"
#include "Platform/Platform.h"
#include "SimulatedMacHome.h"
#include "TestSupport.h"
#include "Worlds/MacWorld.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace norvane;
using test::writeBytes;

namespace {

const QString kDomain = QStringLiteral("com.apple.screensaver");
const QString kKey = QStringLiteral("idleTime");

std::optional<QVariant> number(qint64 value) {
    return QVariant::fromValue(value);
}

class SimulatedMacTest : public ::testing::Test {
protected:
    test::SimulatedMacHome home;

    [[nodiscard]] std::optional<QVariant> stored(const QString &key = kKey) const {
        SimulatedHostPreferences preferences(home.path());
        EXPECT_TRUE(preferences.synchronize(kDomain));
        return preferences.copyValue(key, kDomain);
    }
};

} // namespace

TEST(SimulatorHome, PrefersItsOwnVariableThenTheStateFolder) {
    const test::ScopedVariable home("HOME", "/home/someone");
    const auto homeWith = [](const QByteArray &simHome, const QByteArray &stateHome) {
        const test::ScopedVariable sim("NORVANE_SIM_HOME", simHome);
        const test::ScopedVariable state("XDG_STATE_HOME", stateHome);
        return simulatorHome();
    };
    EXPECT_EQ(homeWith("/tmp/sim", "/tmp/state"), "/tmp/sim");
    EXPECT_EQ(homeWith("", "/tmp/state"), "/tmp/state/norvane-sim");
    EXPECT_EQ(homeWith(QByteArray(), ""), "/home/someone/.local/state/norvane-sim");
}

TEST_F(SimulatedMacTest, WritesWaitForSynchronizeWhichAlsoPicksUpOtherWriters) {
    SimulatedHostPreferences writer(home.path());
    SimulatedHostPreferences reader(home.path());
    EXPECT_FALSE(reader.copyValue(kKey, kDomain));

    writer.setValue(kKey, number(300), kDomain);
    EXPECT_EQ(writer.copyValue(kKey, kDomain), number(300)); // pending shows through
    EXPECT_FALSE(QFile::exists(writer.domainFilePath(kDomain)));
    ASSERT_TRUE(writer.synchronize(kDomain));
    EXPECT_FALSE(reader.copyValue(kKey, kDomain)); // the reader has not synchronized yet
    ASSERT_TRUE(reader.synchronize(kDomain));
    EXPECT_EQ(reader.copyValue(kKey, kDomain), number(300));
    EXPECT_EQ(reader.copyValue(kKey, kDomain)->typeId(), QMetaType::LongLong);
}

TEST_F(SimulatedMacTest, ValuesKeepTheirTypesAndDomainsStayInsideThePreferencesFolder) {
    writeBytes(SimulatedHostPreferences(home.path()).domainFilePath(kDomain),
               R"({"whole": 4.0, "flag": true, "big": 9007199254740993, "huge": 9.25e18})");
    EXPECT_EQ(stored(QStringLiteral("whole")), number(4));
    EXPECT_EQ(stored(QStringLiteral("flag")), QVariant(true));
    EXPECT_EQ(stored(QStringLiteral("big")), number(9007199254740993));
    EXPECT_EQ(stored(QStringLiteral("huge")), QVariant(9.25e18)) << "beyond 64-bit integers";

    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(kKey, number(60), QStringLiteral("../escape"));
    ASSERT_TRUE(preferences.synchronize(QStringLiteral("../escape")));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/escape.json")));
    EXPECT_TRUE(QFileInfo(preferences.domainFilePath(QStringLiteral("../escape")))
                    .absolutePath()
                    .endsWith(u"/preferences"));
}

TEST_F(SimulatedMacTest, ASynchronizeThatFailsKeepsTheChangePending) {
    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(kKey, number(120), kDomain);
    const QString folder = home.path() + QStringLiteral("/preferences");
    writeBytes(folder, "a file where the folder belongs");
    EXPECT_FALSE(preferences.synchronize(kDomain));
    ASSERT_TRUE(QFile::remove(folder));

    writeBytes(preferences.domainFilePath(kDomain), "{ not json");
    EXPECT_FALSE(preferences.synchronize(kDomain));
    EXPECT_EQ(test::readTextFile(preferences.domainFilePath(kDomain)), "{ not json");
    ASSERT_TRUE(QFile::remove(preferences.domainFilePath(kDomain)));

    EXPECT_TRUE(preferences.synchronize(kDomain));
    EXPECT_EQ(stored(), number(120));
}

// The holders' part in the status, and a failing query, are read in SystemSettingsTest.
TEST_F(SimulatedMacTest, AssertionsComeFromTheState) {
    const SimulatedAssertionStatus assertions(home.path());
    EXPECT_EQ(assertions.copyStatus(), SimulatedSystemState::factoryAssertions()); // no state yet
    writeBytes(SimulatedSystemState::filePath(home.path()),
               R"({"assertions": {"PreventSystemSleep": 9.25e18}})");
    EXPECT_EQ(assertions.copyStatus(),
              (QVariantMap{{QStringLiteral("PreventSystemSleep"), QVariant(9.25e18)}}));

    writeBytes(SimulatedSystemState::filePath(home.path()), "[]");
    EXPECT_FALSE(assertions.copyStatus());
    EXPECT_FALSE(SimulatedPowerSources(home.path()).snapshot());
    EXPECT_FALSE(SimulatedHostPreferences(home.path()).synchronize(kDomain));
}

// Bundle identifiers are case-insensitive on a Mac.
TEST_F(SimulatedMacTest, TheMacRunsTheApplicationsItsStateLists) {
    const MacWorld mac(Platform::system(), SystemIdentity::simulated());
    const QStringList asked{"com.apple.Keynote", "com.apple.safari", "com.apple.Mail"};
    home.change([](sim::SimulatorState &state) {
        state.runningApplications = {"com.apple.Safari", "com.apple.Music", "com.apple.Keynote"};
    });
    EXPECT_EQ(mac.runningApplications(asked),
              (QSet<QString>{"com.apple.Keynote", "com.apple.safari"}));

    // A state written before the simulated Mac ran applications.
    const QString path = SimulatedSystemState::filePath(home.path());
    QJsonObject older = json::parseObject(test::readBytes(path));
    older.remove(SimulatedSystemState::runningApplicationsKey);
    writeBytes(path, QJsonDocument(older).toJson());
    EXPECT_EQ(home.state().runningApplications, QStringList());
    EXPECT_EQ(mac.runningApplications(asked), QSet<QString>());
}
