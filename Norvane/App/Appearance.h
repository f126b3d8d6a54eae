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

} // namespace norvane::Appearance
