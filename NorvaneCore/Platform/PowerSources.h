#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>

namespace norvane {

// One power-source description: string keys to numbers, booleans and strings, as the system's
// power-source interface delivers them ("Type", "Is Present", "Current Capacity", …).
using PowerSourceDescription = QVariantMap;

// What the power-source interface reports at one moment.
struct PowerSourceSnapshot {
    QList<PowerSourceDescription> descriptions;
    std::optional<QString> providingType; // "AC Power", "Battery Power", "UPS Power", or none
};

class PowerSources {
public:
    virtual ~PowerSources() = default;
    // None when the system offers no power-source information at all.
    [[nodiscard]] virtual std::optional<PowerSourceSnapshot> snapshot() const = 0;
};

// The system-wide power assertion counts ("PreventUserIdleDisplaySleep" → number of holders).
class AssertionStatus {
public:
    virtual ~AssertionStatus() = default;
    // None when the query fails; otherwise the status dictionary as delivered.
    [[nodiscard]] virtual std::optional<QVariantMap> copyStatus() const = 0;
};

} // namespace norvane
