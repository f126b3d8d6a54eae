#include "Status/PowerAssertions.h"

#include "SimulatedMacHome.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTime>
#include <gtest/gtest.h>

using namespace norvane;

// A real capture (tests/data/mac-samples/assertions-caffeinate-2025.source): the counts in order,
// each holder with its detail lines. Published copies that lost the indentation read the same.
TEST(PowerAssertionsParse, ReadsARealCaptureWithOrWithoutIndentation) {
    PowerAssertions expected{{{"BackgroundTask", 0},
                              {"ApplePushServiceTask", 0},
                              {"UserIsActive", 1},
                              {"PreventUserIdleDisplaySleep", 0},
                              {"PreventSystemSleep", 0},
                              {"ExternalMedia", 0},
                              {"PreventUserIdleSystemSleep", 1},
                              {"NetworkClientActive", 0}},
                             {}};
    for (const sim::AssertionHolder &holder : test::caffeinateCaptureHolders())
        expected.holders.append({holder.pid, holder.process, holder.type,
                                 QTime(0, 0).addSecs(holder.ageSeconds).toString(u"hh:mm:ss"),
                                 holder.name, holder.details});
    const QString capture = test::capture(QStringLiteral("assertions-caffeinate-2025"));
    EXPECT_EQ(PowerAssertions::parse(capture), expected);
    const QString collapsed =
        QString(capture).replace(QRegularExpression(QStringLiteral("(?m)^[ \\t]+")), QString());
    EXPECT_EQ(PowerAssertions::parse(collapsed), expected);
    EXPECT_EQ(PowerAssertions::parse({}), PowerAssertions{});
}

TEST(PowerAssertionsParse, ProcessNamesWithBlanksAndBracketsAndOlderLayouts) {
    const PowerAssertions parsed = PowerAssertions::parse(QStringLiteral(
        "Listed by owning process:\n"
        "   pid 512(Google Chrome Helper (GPU)): [0x0000a1b2000c3d4e] 01:02:03 "
        "PreventUserIdleDisplaySleep named: \"WebRTC has active PeerConnections\"\n"
        "   pid 77(Teams [work] (2)): [0x1] 00:00:10 PreventUserIdleSystemSleep named: \"call: "
        "\"Daily\"\"\n"
        "\tpid 9(hidd): PreventUserIdleDisplaySleep named: \"\"\n"
        "Kernel Assertions: 0x4=USB\n"
        "   id=500  level=255 0x4=USB mod=1/1/26, 9:00 AM description=usb owner=AppleUSBHostPort\n"
        "Idle sleep preventers: IODisplayWrangler\n"));
    // The kernel assertions belong to no process.
    EXPECT_EQ(parsed.holders,
              (QList<PowerAssertion>{{512,
                                      "Google Chrome Helper (GPU)",
                                      "PreventUserIdleDisplaySleep",
                                      "01:02:03",
                                      "WebRTC has active PeerConnections",
                                      {}},
                                     {77,
                                      "Teams [work] (2)",
                                      "PreventUserIdleSystemSleep",
                                      "00:00:10",
                                      "call: \"Daily\"",
                                      {}},
                                     {9, "hidd", "PreventUserIdleDisplaySleep", {}, {}, {}}}));
    EXPECT_TRUE(parsed.systemWide.isEmpty());
}

TEST(PowerAssertionsParse, AHolderIndentedWithAnyBlanksIsAHolder) {
    // Found by fuzzing: read as a detail, the line became a holder once printed again.
    const PowerAssertions read = PowerAssertions::parse(QStringLiteral(
        "Listed by owning process:\n \u0085pid 7(a): PreventUserIdleSystemSleep named: \"n\"\n"));
    ASSERT_EQ(read.holders.size(), 1);
    EXPECT_EQ(read.holders[0].pid, 7);
    EXPECT_TRUE(read.holders[0].details.isEmpty());
}

TEST(PowerAssertion, WhatKeepsTheDisplayOnAndTheMacAwake) {
    const struct {
        const char *type;
        bool display;
        bool awake;
    } rows[] = {{"NoDisplaySleepAssertion", true, true},
                {"PreventSystemSleep", false, true},
                {"NoIdleSleepAssertion", false, true},
                {"UserIsActive", false, false}};
    for (const auto &row : rows) {
        const PowerAssertion assertion{1, "p", row.type, {}, {}, {}};
        EXPECT_EQ(assertion.keepsDisplayOn(), row.display) << row.type;
        EXPECT_EQ(assertion.keepsMacAwake(), row.awake) << row.type;
    }
}
