#pragma once

namespace norvane {

// Offers the Linux desktops Pellor drives (GNOME, KDE Plasma, Xfce) to the choice of the world
// (WorldChoice). Call once at start, before the world is chosen.
void offerDesktopWorlds();

} // namespace norvane
