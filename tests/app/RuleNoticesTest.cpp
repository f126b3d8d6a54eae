// What the rules' switches say outside the windows: the texts of a switch, a return and a
// failure; python-dbusmock's notification daemon on the run's private session bus getting the
// notice with Undo, and Undo applying the profile before as the person's choice; and the status
// item's message where no service answers.
#include "App/RuleNotifier.h"
#include "DBusMock.h"
#include "RuleSwitcherFixture.h"
#include "Rules/RuleNoticesPreference.h"
#include "Services/FreedesktopNotices.h"

#include <QDBusArgument>
#include <QTest>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

// A switcher whose display rule the test turns on, and what tells of it.
struct Notified : test::RuleSwitcherFixture {
    explicit Notified(NoticeCentre *centre)
        : notifier(switcher, library, preference,
                   {centre,
                    [this](const QString &summary, const QString &) { messages << summary; },
                    [this](const QString &text) { announced << text; },
                    [this](const QString &id) {
                        (void)store.activate(*library.profile(id), std::nullopt, now);
                    }}) {
        switcher.start(false);
    }
    // Connects a display and waits until the switch has been told (announced in any case).
    bool connectDisplay() {
        displays = 1;
        switcher.readAgain();
        return QTest::qWaitFor([this] { return !announced.isEmpty(); }, 30'000);
    }

    int displays = 0;
    RuleSwitcher switcher{store, library, book, environment([this] { return displays; })};
    RuleNoticesPreference preference;
    QStringList messages, announced;
    RuleNotifier notifier;
};

const QString kSwitched = "While an external display is connected: Vibe applied";

} // namespace

TEST(RuleNotices, SayTheReasonTheProfileAndTheWayBack) {
    const Rule battery{"rule", {Condition::Kind::battery, 0, {}, {}, {}, {}}, "vibe", true};
    const std::tuple<NoticeCentre::Notice, const char *, const char *, const char *> cases[] = {
        {RuleNotifier::noticeOf({battery, false, "vibe", "focus"}, "Vibe"),
         "On battery: Vibe applied", "", "Undo"},
        {RuleNotifier::noticeOf({battery, true, "focus", "vibe"}, "Focus"),
         "Rule ended: Focus applied", "On battery no longer holds.", "Undo"},
        {RuleNotifier::noticeOf({std::nullopt, true, "normal", "vibe"}, "Normal"),
         "Rule ended: Normal applied", "", "Undo"},
        {RuleNotifier::failureOf("Authorization failed."), "A rule could not switch profiles",
         "Authorization failed.", "Try Again"},
    };
    for (const auto &[notice, summary, body, action] : cases) {
        EXPECT_EQ(notice.summary, summary);
        EXPECT_EQ(notice.body, body) << summary;
        ASSERT_EQ(notice.actions.size(), 1) << summary;
        EXPECT_EQ(notice.actions.first().label, action) << summary;
    }
}

TEST(RuleNotices, TheDesktopShowsTheSwitchAndUndoGoesBackAsThePersonsChoice) {
    test::DBusMock daemon(QDBusConnection::SessionBus, "notification_daemon",
                          R"({"capabilities": "body actions"})");
    ASSERT_TRUE(daemon.ready());
    FreedesktopNotices centre("Pellor", "com.norvane.Pellor");
    Notified notified(&centre);
    (void)notified.store.activate(Profile::focus(), 0, notified.now); // in effect before the rule
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notified.store.isApplying(); }, 30'000));
    ASSERT_TRUE(notified.connectDisplay());

    // The daemon's record of Notify calls: a(tav), the time and the arguments of each.
    QVariantList notify;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QVariantList calls =
                daemon.call("/org/freedesktop/Notifications", "org.freedesktop.DBus.Mock",
                            "GetMethodCalls", {"Notify"});
            if (calls.isEmpty())
                return false;
            const auto array = calls.first().value<QDBusArgument>();
            array.beginArray();
            if (!array.atEnd()) {
                quint64 time = 0;
                array.beginStructure();
                array >> time >> notify;
            }
            return notify.size() == 8;
        },
        30'000));
    EXPECT_EQ(notify[3].toString(), kSwitched);
    EXPECT_EQ(notify[5].toStringList(), (QStringList{"undo", "Undo"}));

    ASSERT_TRUE(daemon.mock("EmitSignal", {"org.freedesktop.Notifications", "ActionInvoked", "us",
                                           QVariantList{1u, "undo"}}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notified.store.profile().id == u"focus"; }, 30'000));
    EXPECT_FALSE(notified.store.session().rule) << "the person's own choice";
    EXPECT_TRUE(notified.switcher.isPausedByPerson());
    EXPECT_TRUE(notified.messages.isEmpty());
}

// No notification service on the bus: the status item's message says it, unless the person
// turned the notices off.
TEST(RuleNotices, WithoutAServiceTheStatusItemSaysIt) {
    for (const bool enabled : {true, false}) {
        FreedesktopNotices centre("Pellor", {});
        Notified notified(&centre);
        notified.preference.setEnabled(enabled);
        ASSERT_TRUE(notified.connectDisplay());
        EXPECT_EQ(notified.announced, QStringList{kSwitched});
        if (enabled)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !notified.messages.isEmpty(); }, 30'000));
        EXPECT_EQ(notified.messages, enabled ? QStringList{kSwitched} : QStringList()) << enabled;
        notified.preference.setEnabled(true);
    }
}
