#pragma once

#include "Gnome/GSettingsIdleAdapter.h"

namespace norvane {

// MATE's idle settings (MATE 1.26's schemas): mate-power-manager puts the display to sleep after
// org.mate.power-manager sleep-display-{ac,battery} seconds and the computer after
// sleep-computer-{ac,battery} seconds (0 never for both, as its preferences write Never; the kind
// of sleep is action-sleep-type-{ac,battery}). The screen saver starts after org.mate.session
// idle-delay **minutes** while org.mate.screensaver idle-activation-enabled, which is what the
// screen saver's preferences turn off for Never.
class MateSettingsAdapter final : public GSettingsIdleAdapter {
public:
    MateSettingsAdapter();

    // MATE's schemas are installed.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override;
};

} // namespace norvane
