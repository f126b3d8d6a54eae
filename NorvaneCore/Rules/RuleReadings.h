#pragma once

#include "Rule.h"
#include "Status/PowerStatus.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <optional>

namespace norvane {

class World;

// One reading of what the rules decide on.
struct RuleReadings {
    PowerStatus::Source source = PowerStatus::Source::unknown;
    std::optional<double> batteryPercent;
    QSet<QString> applications; // those the rules name that are running
    QDateTime now;
    // How many external displays show a picture. The core sees no screens: the application
    // counts them (RuleSwitcher::Environment::externalDisplays); 0 where nobody can.
    int externalDisplays = 0;

    // Reads the power source and the applications `rules` name from `world`. Blocks (D-Bus,
    // /proc, processes): call it off the main thread.
    [[nodiscard]] static RuleReadings read(const World &world, const QList<Rule> &rules,
                                           const QDateTime &now);
};

} // namespace norvane
