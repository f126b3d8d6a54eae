// A second launch asks the running Pellor to show its window instead of starting another one.
#include "App/ReopenChannel.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

// A channel whose handler only counts the requests to show the window.
ReopenChannel::Handler countingShows(int &shown) {
    return [&shown](const control::Request &request, const ReopenChannel::Reply &reply) {
        if (request.kind == control::Request::Kind::show)
            ++shown;
        reply({control::Response::Outcome::ok, {}, {}});
    };
}

} // namespace

TEST(ReopenChannel, ASecondLaunchReachesTheRunningInstance) {
    EXPECT_FALSE(ReopenChannel::askRunningInstance()) << "nobody listens yet";

    int reopened = 0;
    {
        ReopenChannel channel(countingShows(reopened));
        EXPECT_TRUE(ReopenChannel::askRunningInstance());
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 1; }, 5000));
        EXPECT_TRUE(ReopenChannel::askRunningInstance());
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 2; }, 5000));
    }
    EXPECT_FALSE(ReopenChannel::askRunningInstance()) << "the channel closed with its owner";
}

TEST(ReopenChannel, AStaleSocketOfACrashedInstanceIsReplaced) {
    // A process that crashed leaves its socket file behind.
    QFile stale(QDir::tempPath() + u'/' + ReopenChannel::serverName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    int reopened = 0;
    ReopenChannel channel(countingShows(reopened));
    EXPECT_TRUE(ReopenChannel::askRunningInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 1; }, 5000));
}

TEST(ReopenChannel, TheNameDependsOnTheSettingsFolder) {
    const QString here = ReopenChannel::serverName();
    EXPECT_TRUE(here.startsWith("pellor-"));
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", saved + "/elsewhere");
    EXPECT_NE(ReopenChannel::serverName(), here);
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(ReopenChannel::serverName(), here);
}
