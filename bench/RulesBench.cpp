// What deciding on the rules costs (target: 100 rules in 1 ms at most): one reading evaluated
// against 100 rules of every kind, the power source alternating so that rules start and stop
// holding.
#include "Rules/RuleEngine.h"

#include <benchmark/benchmark.h>

namespace {

using namespace norvane;

QList<Rule> hundredRules() {
    QList<Rule> rules;
    for (int each = 0; each < 100; ++each) {
        Condition when;
        switch (each % 4) {
        case 0:
            when.kind = Condition::Kind::battery;
            break;
        case 1:
            when = {Condition::Kind::batteryBelow, 1 + each % 98, {}, {}, {}, {}};
            break;
        case 2:
            when = {Condition::Kind::schedule, 0, {1, 2, 3, 4, 5}, QTime(9, 0), QTime(17, 30), {}};
            break;
        default:
            when = {Condition::Kind::application, 0, {}, {}, {}, QString::number(each)};
        }
        rules << Rule{QString::number(each), when, QStringLiteral("vibe"), true};
    }
    return rules;
}

void EvaluateHundredRules(benchmark::State &state) {
    RuleEngine engine([](const QString &) { return true; }, QTimeZone("Europe/Berlin"));
    engine.setRules(hundredRules());
    QDateTime now(QDate(2026, 12, 7), QTime(12, 0), QTimeZone("Europe/Berlin"));
    const RuleSituation situation{QStringLiteral("normal"), {}, {}, false};
    bool onBattery = false;
    for (auto _ : state) {
        now = now.addSecs(RuleEngine::kSourceSettleSeconds + 1);
        onBattery = !onBattery;
        const RuleReadings readings{
            onBattery ? PowerStatus::Source::battery : PowerStatus::Source::adapter, 50.0,
            {QStringLiteral("3"), QStringLiteral("7")}, now};
        const std::optional<RuleDecision> decision = engine.evaluate(readings, situation);
        if (decision)
            engine.switched(*decision);
        benchmark::DoNotOptimize(decision);
    }
}
BENCHMARK(EvaluateHundredRules)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
