#pragma once

namespace norvane {

// pellorctl's exit statuses, documented in its --help and in the README. Scripts rely on them:
// never renumber, only add.
enum class ExitCode : int {
    success = 0,
    failed = 1,        // the change or the reading failed; the message is on standard error
    usage = 2,         // unknown command or option, a bad value, an impossible rule
    cancelled = 3,     // the administrator authorization was cancelled
    noSuchProfile = 4, // no profile matches, or the title matches several
    // A rules command found the rules file damaged; "pellorctl set-aside rules" is the way out.
    // (5 once meant a damaged profiles file, which now gives the factory presets with a warning,
    // as in the window. A damaged rules file never stops apply, restore or status.)
    damagedRules = 5,
    // check: the live settings exceed the management policy, or differ from what the applied
    // profile set (changed outside Pellor).
    outOfPolicy = 6,
};

} // namespace norvane
