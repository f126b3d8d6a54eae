#include "Platform/Simulated/SimulatedMac.h"

#include "Platform/Platform.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

const QString kDomain = QStringLiteral("com.apple.screensaver");
const QString kKey = QStringLiteral("idleTime");

// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name), m_previous(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable() {
        if (m_wasSet)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_previous;
    bool m_wasSet;
};

void writeFile(const QString &path, const QByteArray &data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class SimulatedMacTest : public ::testing::Test {
protected:
    test::SimulatedMacHome home;

    void changeState(const std::function<void(sim::SimulatorState &)> &edit) const {
        auto state = sim::SimulatorState::load(home.path());
        edit(state);
        state.save(home.path());
    }
};

} // namespace

TEST(SimulatorHome, PrefersItsOwnVariableThenTheStateFolder) {
    const ScopedVariable home("HOME", "/home/someone");
    {
        const ScopedVariable simHome("NORVANE_SIM_HOME", "/tmp/sim");
        const ScopedVariable state("XDG_STATE_HOME", "/tmp/state");
        EXPECT_EQ(simulatorHome(), "/tmp/sim");
    }
    {
        const ScopedVariable simHome("NORVANE_SIM_HOME", "");
        const ScopedVariable state("XDG_STATE_HOME", "/tmp/state");
        EXPECT_EQ(simulatorHome(), "/tmp/state/norvane-sim");
    }
    {
        const ScopedVariable simHome("NORVANE_SIM_HOME", QByteArray());
        const ScopedVariable state("XDG_STATE_HOME", "");
        EXPECT_EQ(simulatorHome(), "/home/someone/.local/state/norvane-sim");
    }
}

TEST_F(SimulatedMacTest, WritesWaitForSynchronizeWhichAlsoPicksUpOtherWriters) {
    SimulatedHostPreferences writer(home.path());
    SimulatedHostPreferences reader(home.path());
    EXPECT_FALSE(reader.copyValue(kKey, kDomain));

    writer.setValue(kKey, QVariant::fromValue(qint64(300)), kDomain);
    EXPECT_EQ(writer.copyValue(kKey, kDomain),
              QVariant::fromValue(qint64(300))); // pending shows through
    EXPECT_FALSE(QFile::exists(writer.domainFilePath(kDomain)));

    ASSERT_TRUE(writer.synchronize(kDomain));
    EXPECT_TRUE(QFile::exists(writer.domainFilePath(kDomain)));
    EXPECT_FALSE(reader.copyValue(kKey, kDomain)); // the reader has not synchronized yet
    ASSERT_TRUE(reader.synchronize(kDomain));
    const auto value = reader.copyValue(kKey, kDomain);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->typeId(), QMetaType::LongLong);
    EXPECT_EQ(value->toLongLong(), 300);

    writer.setValue(kKey, std::nullopt, kDomain);
    ASSERT_TRUE(writer.synchronize(kDomain));
    ASSERT_TRUE(reader.synchronize(kDomain));
    EXPECT_FALSE(reader.copyValue(kKey, kDomain));
}

TEST_F(SimulatedMacTest, ValuesKeepTheirTypes) {
    writeFile(
        SimulatedHostPreferences(home.path()).domainFilePath(kDomain),
        R"({"idleTime": "300", "fraction": 2.5, "whole": 4.0, "flag": true, "big": 9007199254740993, "huge": 9.25e18})");
    SimulatedHostPreferences preferences(home.path());
    ASSERT_TRUE(preferences.synchronize(kDomain));
    EXPECT_EQ(preferences.copyValue(kKey, kDomain), QVariant(QStringLiteral("300")));
    EXPECT_EQ(preferences.copyValue(QStringLiteral("fraction"), kDomain), QVariant(2.5));
    EXPECT_EQ(preferences.copyValue(QStringLiteral("whole"), kDomain),
              QVariant::fromValue(qint64(4)));
    EXPECT_EQ(preferences.copyValue(QStringLiteral("flag"), kDomain), QVariant(true));
    EXPECT_EQ(preferences.copyValue(QStringLiteral("big"), kDomain),
              QVariant::fromValue(qint64(9007199254740993)));
    EXPECT_EQ(preferences.copyValue(QStringLiteral("huge"), kDomain), QVariant(9.25e18))
        << "whole, but beyond 64-bit integers";

    preferences.setValue(kKey, QVariant(QStringLiteral("600")), kDomain);
    ASSERT_TRUE(preferences.synchronize(kDomain));
    EXPECT_EQ(SimulatedHostPreferences(home.path()).copyValue(kKey, kDomain),
              QVariant(QStringLiteral("600")));
}

TEST_F(SimulatedMacTest, DomainsAreSeparateFilesInsideThePreferencesFolder) {
    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(kKey, QVariant::fromValue(qint64(60)), QStringLiteral("../escape"));
    ASSERT_TRUE(preferences.synchronize(QStringLiteral("../escape")));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/escape.json")));
    EXPECT_TRUE(QFileInfo(preferences.domainFilePath(QStringLiteral("../escape")))
                    .absolutePath()
                    .endsWith(u"/preferences"));
    EXPECT_FALSE(preferences.copyValue(kKey, kDomain));
}

TEST_F(SimulatedMacTest, ASynchronizeFailureKeepsTheChangePending) {
    changeState([](sim::SimulatorState &state) { state.preferencesSynchronizeFails = true; });
    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(kKey, QVariant::fromValue(qint64(120)), kDomain);
    EXPECT_FALSE(preferences.synchronize(kDomain));
    EXPECT_FALSE(QFile::exists(preferences.domainFilePath(kDomain)));

    changeState([](sim::SimulatorState &state) { state.preferencesSynchronizeFails = false; });
    EXPECT_TRUE(preferences.synchronize(kDomain));
    EXPECT_EQ(SimulatedHostPreferences(home.path()).copyValue(kKey, kDomain),
              QVariant::fromValue(qint64(120)));
}

TEST_F(SimulatedMacTest, AWriteThatFailsKeepsTheChangePending) {
    const QString folder = home.path() + QStringLiteral("/preferences");
    writeFile(folder, "a file where the folder belongs");
    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(kKey, QVariant::fromValue(qint64(180)), kDomain);
    EXPECT_FALSE(preferences.synchronize(kDomain));

    ASSERT_TRUE(QFile::remove(folder));
    EXPECT_TRUE(preferences.synchronize(kDomain));
    EXPECT_EQ(SimulatedHostPreferences(home.path()).copyValue(kKey, kDomain),
              QVariant::fromValue(qint64(180)));
}

TEST_F(SimulatedMacTest, ADamagedPreferencesFileFailsSynchronizeAndIsKept) {
    SimulatedHostPreferences preferences(home.path());
    writeFile(preferences.domainFilePath(kDomain), "{ not json");
    preferences.setValue(kKey, QVariant::fromValue(qint64(120)), kDomain);
    EXPECT_FALSE(preferences.synchronize(kDomain));
    EXPECT_EQ(test::readTextFile(preferences.domainFilePath(kDomain)), "{ not json");
}

TEST_F(SimulatedMacTest, NotificationsAreAppendedOnePerLine) {
    SimulatedHostPreferences preferences(home.path());
    preferences.postNotification(QStringLiteral("com.apple.screensaver.didchange"));
    preferences.postNotification(QStringLiteral("com.example.other"));
    EXPECT_EQ(sim::notifications(home.path()),
              QStringList({"com.apple.screensaver.didchange", "com.example.other"}));
}

TEST_F(SimulatedMacTest, AssertionsComeFromTheStateUnlessTheQueryFails) {
    const SimulatedAssertionStatus assertions(home.path());
    EXPECT_EQ(assertions.copyStatus(),
              SimulatedSystemState::factoryAssertions()); // no state file yet

    changeState([](sim::SimulatorState &state) {
        state.assertions = {{QStringLiteral("PreventUserIdleDisplaySleep"), 2}};
    });
    EXPECT_EQ(assertions.copyStatus(), (QVariantMap{{QStringLiteral("PreventUserIdleDisplaySleep"),
                                                     QVariant::fromValue(qint64(2))}}));

    changeState([](sim::SimulatorState &state) {
        state.assertionHolders = {{9, "Keynote", "PreventUserIdleSystemSleep", "Show", 0, {}}};
    });
    EXPECT_EQ(assertions.copyStatus()->value(QStringLiteral("PreventUserIdleSystemSleep")),
              QVariant::fromValue(qint64(1))); // a holder's type is held

    changeState([](sim::SimulatorState &state) { state.assertionQueryFails = true; });
    EXPECT_FALSE(assertions.copyStatus());

    writeFile(SimulatedSystemState::filePath(home.path()),
              R"({"assertions": {"PreventSystemSleep": 9.25e18}})");
    EXPECT_EQ(assertions.copyStatus(),
              (QVariantMap{{QStringLiteral("PreventSystemSleep"), QVariant(9.25e18)}}));

    writeFile(SimulatedSystemState::filePath(home.path()), "[]");
    EXPECT_FALSE(assertions.copyStatus());
    EXPECT_FALSE(SimulatedPowerSources(home.path()).snapshot());
    EXPECT_FALSE(SimulatedHostPreferences(home.path()).synchronize(kDomain));
}

TEST_F(SimulatedMacTest, PlatformSystemUsesTheSimulatorHomeAndTheStandIns) {
    const Platform platform = Platform::system();
    EXPECT_EQ(QFileInfo(platform.tools.pmset).fileName(), "pmset");
    EXPECT_TRUE(QFileInfo(platform.tools.pmset).isExecutable());
    EXPECT_TRUE(QFileInfo(platform.tools.osascript).isExecutable());
    platform.preferences->setValue(kKey, QVariant::fromValue(qint64(900)), kDomain);
    ASSERT_TRUE(platform.preferences->synchronize(kDomain));
    EXPECT_TRUE(
        QFile::exists(home.path() + QStringLiteral("/preferences/com.apple.screensaver.json")));
    EXPECT_TRUE(platform.assertions->copyStatus());
    EXPECT_TRUE(platform.powerSources);
}
