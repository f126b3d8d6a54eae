#pragma once

#include "Gnome/GSettingsIdleAdapter.h"

namespace norvane {

// Cinnamon's idle settings (Cinnamon 5.6's schemas): cinnamon-settings-daemon turns the display off
// after org.cinnamon.settings-daemon.plugins.power sleep-display-{ac,battery} seconds and puts the
// computer to sleep after sleep-inactive-{ac,battery}-timeout seconds (0 never for both, as
// Cinnamon's power panel writes Never; the kind of sleep is sleep-inactive-*-type). The screen
// saver starts after org.cinnamon.desktop.session idle-delay seconds, 0 being the screen saver
// panel's Never, while org.cinnamon.desktop.screensaver idle-activation-enabled; its lock delay
// stays the user's.
class CinnamonSettingsAdapter final : public GSettingsIdleAdapter {
public:
    CinnamonSettingsAdapter();

    // Cinnamon's schemas are installed.
    [[nodiscard]] static bool answers();

    [[nodiscard]] SystemIdentity identity() const override;
};

} // namespace norvane
