#pragma once

#include "Services/DesktopSettingsAdapter.h"

namespace norvane {

// Xfce's idle settings through xfconf (XfceIdleSettings): xfce4-power-manager and
// xfce4-screensaver.
class XfceSettingsAdapter final : public DesktopSettingsAdapter {
public:
    // xfconfd runs on the session bus or can be started there.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override;
    [[nodiscard]] WatchedSettings watched() const override;
    [[nodiscard]] MacConfiguration read() const override;
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup) const override;
    void write(const MacConfiguration &target, const QJsonObject &original) const override;
    [[nodiscard]] MacConfiguration defaults() const override;
    // A sleep of 14 minutes on the power managers that take 14 for Never.
    [[nodiscard]] std::optional<QString> cannotHold(const Profile &profile) const override;
};

} // namespace norvane
