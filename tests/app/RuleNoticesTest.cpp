// What the rules' switches say outside the windows: the texts of a switch, a return and a
// failure; the desktop's notification service (python-dbusmock's notification daemon on the
// run's private session bus) getting the notice with Undo, and Undo applying the profile before
// as the person's choice; and the status item's message where no service answers.
#include "App/RuleNoticesPreference.h"
#include "App/RuleNotifier.h"
#include "DBusMock.h"
#include "RuleSwitcherFixture.h"
#include "Services/FreedesktopNotices.h"

#include <QDBusArgument>
#include <QTest>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

Rule ruleFor(Condition::Kind kind) {
    return Rule{"rule", {kind, 0, {}, {}, {}, {}}, "vibe", true};
}

// The Notify calls the mock daemon received: each call's arguments.
QList<QVariantList> notifyCalls(test::DBusMock &daemon) {
    const QVariantList reply =
        daemon.call("/org/freedesktop/Notifications", "org.freedesktop.DBus.Mock", "GetMethodCalls",
                    {"Notify"});
    QList<QVariantList> calls;
    if (reply.isEmpty())
        return calls;
    const auto array = reply.first().value<QDBusArgument>();
    array.beginArray();
    while (!array.atEnd()) {
        quint64 timestamp = 0;
        QVariantList arguments;
        array.beginStructure();
        array >> timestamp >> arguments;
        array.endStructure();
        calls << arguments;
    }
    array.endArray();
    return calls;
}

// A switcher whose rule the test turns on by connecting a display, and what tells of it.
struct Notified : test::RuleSwitcherFixture {
    explicit Notified(NoticeCentre *centre) {
        RuleNotifier::Environment environment;
        environment.centre = centre;
        environment.showMessage = [this](const QString &summary, const QString &body) {
            messages << summary + u'|' + body;
        };
        environment.announce = [this](const QString &text) { announced << text; };
        environment.apply = [this](const QString &profileId) {
            (void)store.activate(profileId == u"normal" ? library.normal()
                                                        : *library.profile(profileId),
                                 std::nullopt, now);
        };
        notifier =
            std::make_unique<RuleNotifier>(switcher, library, preference, std::move(environment));
        switcher.start(false);
    }
    // Connects a display and waits until the rule's switch has been told (a screen reader
    // hears every switch).
    bool connectDisplay() {
        displays = 1;
        switcher.readAgain();
        return QTest::qWaitFor([this] { return !announced.isEmpty(); }, 30'000) &&
               store.profile().id == u"vibe";
    }

    int displays = 0;
    RuleSwitcher switcher{store, library, book, environment([this] { return displays; })};
    RuleNoticesPreference preference;
    std::unique_ptr<RuleNotifier> notifier;
    QStringList messages;
    QStringList announced;
};

} // namespace

TEST(RuleNotices, SayTheReasonTheProfileAndTheWayBack) {
    const RuleSwitch display{ruleFor(Condition::Kind::externalDisplay), false, "vibe", "normal"};
    const RuleSwitch battery{ruleFor(Condition::Kind::battery), false, "vibe", "focus"};
    const RuleSwitch ended{ruleFor(Condition::Kind::battery), true, "focus", "vibe"};
    const RuleSwitch gone{std::nullopt, true, "normal", "vibe"};
    const std::tuple<NoticeCentre::Notice, const char *, const char *, const char *> cases[] = {
        {RuleNotifier::noticeOf(display, "Vibe"),
         "While an external display is connected: Vibe applied", "", "Undo"},
        {RuleNotifier::noticeOf(battery, "Vibe"), "On battery: Vibe applied", "", "Undo"},
        {RuleNotifier::noticeOf(ended, "Focus"), "Rule ended: Focus applied",
         "On battery no longer holds.", "Undo"},
        {RuleNotifier::noticeOf(gone, "Normal"), "Rule ended: Normal applied", "", "Undo"},
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
    ASSERT_TRUE(notified.connectDisplay());

    QList<QVariantList> calls;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(calls = notifyCalls(daemon)).isEmpty(); }, 30'000));
    ASSERT_EQ(calls.first().size(), 8);
    EXPECT_EQ(calls.first()[3].toString(), "While an external display is connected: Vibe applied");
    EXPECT_EQ(calls.first()[5].toStringList(), (QStringList{"undo", "Undo"}));
    EXPECT_TRUE(notified.messages.isEmpty());

    ASSERT_TRUE(daemon.mock("EmitSignal", {"org.freedesktop.Notifications", "ActionInvoked", "us",
                                           QVariantList{1u, "undo"}}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !notified.store.isApplying() && notified.store.profile().id == u"normal"; },
        30'000));
    EXPECT_FALSE(notified.store.session().rule) << "the person's own choice";
    EXPECT_TRUE(notified.switcher.isPausedByPerson());
}

// No notification service on the bus: the status item's message says it, unless the person
// turned the notices off.
TEST(RuleNotices, WithoutAServiceTheStatusItemSaysIt) {
    for (const bool enabled : {true, false}) {
        FreedesktopNotices centre("Pellor", {});
        Notified notified(&centre);
        notified.preference.setEnabled(enabled);
        ASSERT_TRUE(notified.connectDisplay());
        EXPECT_EQ(notified.announced.first(),
                  "While an external display is connected: Vibe applied");
        if (enabled)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !notified.messages.isEmpty(); }, 30'000));
        EXPECT_EQ(notified.messages,
                  enabled ? QStringList{"While an external display is connected: Vibe applied|"}
                          : QStringList())
            << enabled;
        notified.preference.setEnabled(true);
    }
}
