#pragma once

#include "Platform/PowerSources.h"

#include <QString>

namespace norvane {

// Power sources as Linux reports them under /sys/class/power_supply, described with the Mac's
// keys: a system battery becomes an "InternalBattery", a UPS a "UPS"; the providing type follows
// the mains and USB supplies that are online, or the battery that discharges.
class SysfsPowerSources final : public PowerSources {
public:
    explicit SysfsPowerSources(QString root = QStringLiteral("/sys/class/power_supply"));

    // None when the root folder does not exist.
    [[nodiscard]] std::optional<PowerSourceSnapshot> snapshot() const override;

private:
    QString m_root;
};

} // namespace norvane
