#pragma once

namespace norvane::AccessibilityPreferences {

// The system's Reduce Motion and Reduce Transparency settings where the platform offers them;
// off elsewhere.
[[nodiscard]] bool reduceMotion();
[[nodiscard]] bool reduceTransparency();

} // namespace norvane::AccessibilityPreferences
