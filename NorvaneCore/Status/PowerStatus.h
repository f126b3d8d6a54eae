#pragma once

#include "Platform/PowerSources.h"

#include <optional>

namespace norvane {

// Where the Mac gets its power from now, and the state of the battery (or of the UPS while that
// powers the Mac).
struct PowerStatus {
    enum class Source { adapter, battery, ups, unknown };

    Source source = Source::unknown;
    bool hasBattery = false;
    std::optional<qint64> percentage; // 0 to 100
    bool isCharging = false;
    bool isCharged = false;
    std::optional<qint64> minutesToFull;    // only while charging
    std::optional<qint64> minutesRemaining; // only while running on battery or UPS, not charging

    friend bool operator==(const PowerStatus &, const PowerStatus &) = default;

    // Never fails: missing information leaves fields empty or false.
    [[nodiscard]] static PowerStatus read();
    [[nodiscard]] static PowerStatus read(const PowerSources &sources);

    // Turns the system's power-source descriptions and the providing type ("AC Power",
    // "Battery Power", "UPS Power") into the record.
    [[nodiscard]] static PowerStatus parse(const QList<PowerSourceDescription> &descriptions,
                                           const std::optional<QString> &providing);
};

} // namespace norvane
