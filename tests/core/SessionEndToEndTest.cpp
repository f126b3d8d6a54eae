// The whole core without a window: the session store over the real configuration service,
// against the simulated Mac, with the library's edited Normal as the return profile.
#include "Configuration/NativeConfigurationBackend.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "SimulatorState.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

TEST(SessionEndToEnd, TimedProfileReturnsToTheLibrarysNormalOnTheSimulatedMac) {
    QTemporaryDir simHome, dataHome;
    qputenv("NORVANE_SIM_HOME", simHome.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    sim::SimulatorState::reset(simHome.path());

    ProfileLibrary library(std::make_shared<FileProfileStorage>());
    Profile normal = library.normal();
    normal.displayMinutes = 7;
    normal.sleepMinutes = 21;
    normal.screenSaverSeconds = 420;
    library.save(normal);

    QDateTime clock = QDateTime::currentDateTime();
    SessionStore store(
        nullptr, [&] { return clock; }, [&] { return library.normal(); });
    int changes = 0;
    store.onChange = [&] { ++changes; };

    test::waitFor(store.activate(Profile::focus(), 1, clock));
    ASSERT_FALSE(store.errorMessage()) << store.errorMessage()->toStdString();
    ASSERT_TRUE(store.session().deadline);
    EXPECT_EQ(NativeConfigurationBackend().read(),
              (MacConfiguration{{{"-b", 0, 0}, {"-c", 0, 0}}, 0}));

    const int changesBeforeReturn = changes;
    clock = store.session().deadline->addSecs(1);
    store.tick(clock);
    // The return runs as its own task; wait until the store reports its outcome.
    while (changes < changesBeforeReturn + 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    EXPECT_FALSE(store.errorMessage());
    EXPECT_EQ(store.profile(), library.normal());
    EXPECT_FALSE(store.session().deadline);
    EXPECT_EQ(NativeConfigurationBackend().read(),
              (MacConfiguration{{{"-b", 7, 21}, {"-c", 7, 21}}, 420}));
}
