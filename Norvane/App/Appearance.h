#pragma once

#include <QPalette>

namespace norvane::Appearance {

// The stored choice under "appearanceChoice": 0 follows the system, 1 is light, 2 is dark; any
// other value behaves as 0.
enum Choice { system = 0, light = 1, dark = 2 };

[[nodiscard]] int storedChoice();
void storeChoice(int choice);

// The palette the application uses for a choice; the system's own palette for anything but
// light and dark.
[[nodiscard]] QPalette palette(int choice);

// Sets the application palette for the choice, at once.
void apply(int choice);

// The desktop's own palette, whatever the choice: what the status item, which sits on the
// desktop's panel and not in a Pellor window, is drawn against.
[[nodiscard]] QPalette systemPalette();

} // namespace norvane::Appearance
