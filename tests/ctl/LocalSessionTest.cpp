// The foreground session without Pellor, in this process with its clock in the test's hands.
#include "LocalSession.h"

#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatedMacHome.h"
#include "SimulatorState.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;

TEST(LocalSession, ATimedApplyReturnsToNormalOnceItsClockPassesTheDeadline) {
    test::SimulatedMacHome home;
    QTemporaryDir data;
    const ProfileLibrary library(
        std::make_shared<FileProfileStorage>(data.filePath("profiles.json")));
    QString printed, problems;
    QTextStream out(&printed), err(&problems);
    QDateTime clock = QDateTime::currentDateTime();
    LocalSession session(library, out, err, {nullptr, [&] { return clock; }, 5, false});

    // Once the countdown has begun, time jumps past the deadline.
    QTimer jump;
    QObject::connect(&jump, &QTimer::timeout, [&] {
        if (printed.contains("Returning to") && session.store().session().deadline)
            clock = session.store().session().deadline->addSecs(1);
    });
    jump.start(5);

    EXPECT_EQ(session.apply(Profile::focus(), 1), ExitCode::success) << problems.toStdString();
    EXPECT_EQ(printed, "Saved and verified macOS settings for Focus.\n"
                       "Returning to Normal in 01:00. Press Ctrl+C to return now.\n"
                       "Saved and verified macOS settings for Normal.\n");
    EXPECT_EQ(session.store().profile().id, "normal");
    const sim::SimulatorState mac = sim::SimulatorState::load(home.path());
    EXPECT_EQ(mac.adapter->number("displaysleep"), 5);
    EXPECT_EQ(mac.adapter->number("sleep"), 15);
}
