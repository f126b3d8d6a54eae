// A second launch asks the running Pellor to show its window instead of starting another one.
#include "App/ReopenChannel.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTest>
#include <gtest/gtest.h>

using namespace norvane;

TEST(ReopenChannel, ASecondLaunchReachesTheRunningInstanceEvenOverAStaleSocket) {
    EXPECT_FALSE(ReopenChannel::askRunningInstance()) << "nobody listens yet";
    // A process that crashed leaves its socket file behind.
    QFile stale(QDir::tempPath() + u'/' + ReopenChannel::serverName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    int reopened = 0;
    {
        ReopenChannel channel([&](const control::Request &request, const auto &reply) {
            reopened += request.kind == control::Request::Kind::show ? 1 : 0;
            reply({control::Response::Outcome::ok, {}, {}});
        });
        EXPECT_TRUE(ReopenChannel::askRunningInstance());
        EXPECT_TRUE(ReopenChannel::askRunningInstance());
        EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 2; }, 5000));
    }
    EXPECT_FALSE(ReopenChannel::askRunningInstance()) << "the channel closed with its owner";
}

TEST(ReopenChannel, ALineThatIsNoRequestIsRefusedWithoutReachingTheApplication) {
    int handled = 0;
    ReopenChannel channel([&handled](const control::Request &, const ReopenChannel::Reply &reply) {
        ++handled;
        reply({});
    });
    const QList<QByteArray> lines{
        "hello",
        "[1]",
        R"({"version":2,"request":"show"})",
        R"({"version":1,"request":"reboot"})",
        R"({"version":1,"request":"apply"})",
        R"({"version":1,"request":"apply","profile":"focus","minutes":1.5})",
    };
    for (const QByteArray &line : lines) {
        SCOPED_TRACE(line.toStdString());
        QLocalSocket socket;
        socket.connectToServer(ReopenChannel::serverName());
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(line + '\n');
        ASSERT_TRUE(QTest::qWaitFor([&] { return socket.canReadLine(); }, 5000));
        const auto response = control::Response::decode(socket.readLine());
        ASSERT_TRUE(response);
        EXPECT_EQ(response->outcome, control::Response::Outcome::invalid);
    }
    EXPECT_EQ(handled, 0);
}
