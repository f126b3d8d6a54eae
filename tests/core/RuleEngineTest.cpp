// The rules' decisions, fed readings and a clock by the test: edges, precedence, the person's
// choice, the settling of the power source, the low battery's hysteresis, a timed profile of the
// person's, a profile deleted under a rule, a switch that failed; and schedules across midnight
// and both daylight-saving changes.
#include "Rules/RuleEngine.h"

#include "Rules/Schedule.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Source = PowerStatus::Source;

const QTimeZone kBerlin("Europe/Berlin");
// Monday, 7 December 2026, 12:00 in Berlin.
const QDateTime kMonday(QDate(2026, 12, 7), QTime(12, 0), kBerlin);

Rule rule(const QString &id, Condition when, const QString &profile) {
    return Rule{id, std::move(when), profile, true};
}
Condition onBattery() {
    return {Condition::Kind::battery, 0, {}, {}, {}, {}};
}
Condition batteryBelow(int percent) {
    return {Condition::Kind::batteryBelow, percent, {}, {}, {}, {}};
}
Condition application(const QString &name) {
    return {Condition::Kind::application, 0, {}, {}, {}, name};
}
Condition schedule(QList<int> days, QTime start, QTime end) {
    return {Condition::Kind::schedule, 0, std::move(days), start, end, {}};
}

// What happens next in a run: a reading `seconds` after kMonday, the person's own choice of a
// profile, or a switch the rules asked for failing; and what the rules should ask for then.
struct Step {
    enum class Kind { reading, personChoice, timedChoice, timedReturn, failure, resume };
    Kind kind = Kind::reading;
    qint64 seconds = 0;
    Source source = Source::adapter;
    std::optional<double> percent;
    QSet<QString> applications;
    QString chosen; // personChoice, timedChoice: the profile the person applied
    std::optional<RuleDecision> expected;
};

Step reading(qint64 seconds, Source source, std::optional<RuleDecision> expected = {},
             std::optional<double> percent = std::nullopt, QSet<QString> applications = {}) {
    return {Step::Kind::reading, seconds, source, percent, std::move(applications), {},
            std::move(expected)};
}
Step person(const QString &profile, Step::Kind kind = Step::Kind::personChoice) {
    return {kind, 0, {}, {}, {}, profile, {}};
}
Step event(Step::Kind kind, std::optional<RuleDecision> expected = {}) {
    return {kind, 0, {}, {}, {}, {}, std::move(expected)};
}
RuleDecision use(const QString &profile, const QString &ruleId) {
    return {profile, ruleId};
}
RuleDecision back(const QString &profile) {
    return {profile, std::nullopt};
}

// Plays the steps against an engine as Pellor would: a switch the rules asked for becomes what is
// in effect, unless the next step says it failed.
void play(const QList<Rule> &rules, const QList<Step> &steps) {
    RuleEngine engine([](const QString &id) { return id != "gone"; }, kBerlin);
    engine.setRules(rules);
    RuleSituation situation{"normal", {}, {}, false};
    std::optional<RuleDecision> pending;
    int index = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE("step " + std::to_string(index++));
        if (step.kind == Step::Kind::failure) {
            ASSERT_TRUE(pending);
            engine.failed(*std::exchange(pending, std::nullopt));
            continue;
        }
        if (pending) {
            engine.switched(*pending);
            situation = {pending->profileId, pending->ruleId, situation.profileId, false};
            pending.reset();
        }
        switch (step.kind) {
        case Step::Kind::reading: {
            const RuleReadings readings{step.source, step.percent, step.applications,
                                        kMonday.addSecs(step.seconds)};
            pending = index == 1 ? engine.start(readings, situation, true)
                                 : engine.evaluate(readings, situation);
            break;
        }
        case Step::Kind::personChoice:
        case Step::Kind::timedChoice:
            engine.personChose();
            situation = {
                step.chosen, {}, situation.profileId, step.kind == Step::Kind::timedChoice};
            continue;
        case Step::Kind::timedReturn:
            situation.timedByPerson = false;
            pending = engine.atTimedReturn(situation);
            break;
        case Step::Kind::resume:
            engine.resume();
            continue;
        case Step::Kind::failure:
            break;
        }
        EXPECT_EQ(pending, step.expected);
    }
}

} // namespace

TEST(RuleEngine, ARuleActsOnItsEdgesAndThePersonsChoiceWinsUntilTheNextOne) {
    play({rule("battery", onBattery(), "saver")},
         {
             reading(0, Source::adapter),
             reading(60, Source::battery, use("saver", "battery")),
             reading(65, Source::battery), // a level, not an edge
             reading(120, Source::adapter, back("normal")),
             reading(180, Source::battery, use("saver", "battery")),
             person("focus"),
             reading(240, Source::adapter), // not the rule's doing any more: focus stays
             reading(300, Source::battery, use("saver", "battery")), // the next edge
             reading(360, Source::adapter, back("focus")),           // what was in effect before
             person("presentation"),
             event(Step::Kind::resume),
             reading(420, Source::adapter),
         });
}

TEST(RuleEngine, TheLowBatteryOutranksEveryRuleAndHoldsUntilThreePercentAbove) {
    play({rule("firefox", application("firefox"), "focus"), rule("battery", onBattery(), "saver"),
          rule("low", batteryBelow(20), "download")},
         {
             reading(0, Source::adapter, use("focus", "firefox"), 50, {"firefox"}),
             reading(30, Source::battery, {}, 21, {"firefox"}), // the application outranks it
             reading(60, Source::battery, use("download", "low"), 20, {"firefox"}),
             reading(90, Source::battery, {}, 22.9, {"firefox"}),
             reading(120, Source::battery, use("focus", "firefox"), 23, {"firefox"}),
             reading(150, Source::battery, use("saver", "battery"), 23),
             reading(180, Source::battery, use("download", "low"), 19),
             reading(190, Source::adapter, back("normal"), 19), // the adapter ends both
         });
}

TEST(RuleEngine, APowerSourceThatChangesAgainWithinTenSecondsCountsOnce) {
    play({rule("battery", onBattery(), "saver")},
         {
             reading(0, Source::adapter),
             reading(100, Source::battery, use("saver", "battery")),
             reading(103, Source::adapter), // settling: not yet
             reading(106, Source::battery),
             reading(109, Source::adapter),
             reading(110, Source::adapter, back("normal")), // settled as the adapter
             reading(111, Source::battery),
             reading(120, Source::battery, use("saver", "battery")),
         });
}

TEST(RuleEngine, ATimedProfileOfThePersonsRunsOutBeforeTheRulesDecideAgain) {
    play({rule("battery", onBattery(), "saver")},
         {
             reading(0, Source::battery, use("saver", "battery")),
             person("focus", Step::Kind::timedChoice), reading(60, Source::adapter),
             reading(120, Source::battery), // an edge, but the timed profile is not cut short
             event(Step::Kind::timedReturn, use("saver", "battery")),
             reading(180, Source::adapter, back("normal")), // not back to the timed profile
         });
}

TEST(RuleEngine, ABrokenRuleNeverActsAndAFailedSwitchWaitsForTheNextEdge) {
    play({rule("broken", onBattery(), "gone"), rule("firefox", application("firefox"), "focus")},
         {
             reading(0, Source::adapter),
             reading(60, Source::battery), // its profile was deleted
             reading(90, Source::battery, use("focus", "firefox"), {}, {"firefox"}),
             event(Step::Kind::failure),
             reading(120, Source::battery, {}, {}, {"firefox"}), // not retried on its own
             reading(150, Source::battery),
             reading(180, Source::battery, use("focus", "firefox"), {}, {"firefox"}),
         });
    play({rule("firefox", application("firefox"), "focus")},
         {
             reading(0, Source::adapter),
             person("gone"), // the profile before the rule is deleted while it holds
             reading(30, Source::adapter, use("focus", "firefox"), {}, {"firefox"}),
             reading(60, Source::adapter, back("normal")),
         });
}

TEST(Schedule, WindowsOpenAndCloseOnceAcrossMidnightAndBothDaylightSavingChanges) {
    struct Row {
        const char *what;
        Condition when;
        QDateTime at;
        bool holds;
        QDateTime nextEdge;
    };
    const auto berlin = [](int month, int day, int hour, int minute) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), kBerlin);
    };
    const auto utc = [](int month, int day, int hour, int minute) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
    };
    const Condition nights = schedule({1}, QTime(22, 0), QTime(7, 0)); // Monday night
    const Condition weekdays = schedule({1, 2, 3, 4, 5}, QTime(9, 0), QTime(17, 30));
    // 29 March 2026: Berlin skips 02:00–03:00; 25 October 2026: it repeats 02:00–03:00.
    const Condition skipped = schedule({7}, QTime(2, 30), QTime(4, 0));
    const Condition repeated = schedule({7}, QTime(1, 0), QTime(2, 30));
    const Row rows[] = {
        {"before the night", nights, berlin(12, 7, 21, 59), false, berlin(12, 7, 22, 0)},
        {"the night", nights, berlin(12, 7, 22, 0), true, berlin(12, 8, 7, 0)},
        {"after midnight", nights, berlin(12, 8, 6, 59), true, berlin(12, 8, 7, 0)},
        {"its end", nights, berlin(12, 8, 7, 0), false, berlin(12, 14, 22, 0)},
        {"Sunday night", nights, berlin(12, 6, 23, 0), false, berlin(12, 7, 22, 0)},
        {"Friday evening", weekdays, berlin(12, 11, 17, 30), false, berlin(12, 14, 9, 0)},
        {"skipped start", skipped, berlin(3, 29, 1, 59), false, utc(3, 29, 1, 0)},
        {"once the clocks jumped", skipped, utc(3, 29, 1, 0), true, berlin(3, 29, 4, 0)},
        {"repeated end, first", repeated, utc(10, 25, 0, 29), true, utc(10, 25, 0, 30)},
        {"repeated hour again", repeated, utc(10, 25, 1, 15), false, berlin(11, 1, 1, 0)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const Schedule window(row.when, kBerlin);
        EXPECT_EQ(window.holds(row.at), row.holds);
        EXPECT_EQ(window.nextEdge(row.at), row.nextEdge);
    }
}
