#include "RuleReadings.h"

#include "Worlds/World.h"

namespace norvane {

RuleReadings RuleReadings::read(const World &world, const QList<Rule> &rules,
                                const QDateTime &now) {
    QStringList named;
    for (const Rule &rule : rules)
        if (rule.enabled && rule.when.kind == Condition::Kind::application &&
            !named.contains(rule.when.application))
            named << rule.when.application;
    const PowerStatus power = world.readPower();
    RuleReadings readings;
    readings.source = power.source;
    readings.batteryPercent = power.percentage;
    if (!named.isEmpty())
        readings.applications = world.runningApplications(named);
    readings.now = now;
    return readings;
}

} // namespace norvane
