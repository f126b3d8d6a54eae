#pragma once

#include "Platform/PowerSources.h"

#include <optional>

namespace norvane {

// The power sources as UPower reports them, described with the Mac's keys (a system battery is
// an "InternalBattery", a UPS a "UPS"), so the core reads them as it reads a Mac's. Where UPower
// does not answer, the kernel's power-supply folder stands in.
class UPowerSources final : public PowerSources {
public:
    [[nodiscard]] std::optional<PowerSourceSnapshot> snapshot() const override;
    // UPower's answer alone; none when UPower does not answer.
    [[nodiscard]] static std::optional<PowerSourceSnapshot> fromUPower();
};

// Whether power-profiles-daemon runs its power-saver profile, the desktop's Low Power Mode; none
// when no power-profiles service answers.
[[nodiscard]] std::optional<bool> powerSaverActive();

} // namespace norvane
