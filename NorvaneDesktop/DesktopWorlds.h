#pragma once

namespace norvane {

// Offers the Linux desktops Pellor drives (GNOME and its family, KDE Plasma, Xfce, Cinnamon, MATE) to the choice of the world
// (WorldChoice). Call once at start, before the world is chosen.
void offerDesktopWorlds();

} // namespace norvane
