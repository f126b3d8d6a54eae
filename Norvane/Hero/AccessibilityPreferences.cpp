#include "AccessibilityPreferences.h"

namespace norvane::AccessibilityPreferences {

// Qt offers neither setting; the macOS build reads them through AppKit once it has an
// Objective-C++ adapter. Until then both are off, as on every other platform.
bool reduceMotion() {
    return false;
}

bool reduceTransparency() {
    return false;
}

} // namespace norvane::AccessibilityPreferences
