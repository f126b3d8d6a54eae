#pragma once

#include "KdeIdleSettings.h"
#include "Services/DesktopSettingsAdapter.h"

namespace norvane {

// KDE Plasma 5 or 6 (KdeIdleSettings): PowerDevil's profiles "AC" and "Battery" and the screen
// locker, which is Pellor's screen saver here. The Plasma version is found once, at creation.
class KdeSettingsAdapter final : public DesktopSettingsAdapter {
public:
    KdeSettingsAdapter();

    // PowerDevil runs in this session, or its settings are there.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override;
    [[nodiscard]] DesktopSession session() const override { return DesktopSession::kde; }
    [[nodiscard]] WatchedSettings watched() const override;
    [[nodiscard]] MacConfiguration read() const override;
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup) const override;
    void write(const MacConfiguration &target, const QJsonObject &original) const override;
    // PowerDevil's and the screen locker's own settings for a new user.
    [[nodiscard]] MacConfiguration defaults() const override;
    // PowerDevil's LowBattery profile, which runs at or below its low level.
    [[nodiscard]] std::optional<PowerSourceConfiguration>
    lowBattery(qint64 percentage) const override;

private:
    KdeIdleSettings::Plasma m_plasma;
};

} // namespace norvane
