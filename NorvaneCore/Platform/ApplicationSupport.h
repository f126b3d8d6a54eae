#pragma once

#include <QString>

namespace norvane {

// A file in the program's folder "Norvane" under the user's application-support folder
// (~/Library/Application Support on a Mac, ~/.local/share elsewhere).
QString applicationSupportFile(const QString &fileName);

// The folder an administrator deploys Pellor's managed profiles, rules and policy into, which
// Pellor only ever reads: /Library/Application Support/Pellor on a Mac; elsewhere the first
// "pellor" folder among $XDG_CONFIG_DIRS (default /etc/xdg), else where the first of them
// would hold one.
QString administratorFolder();

} // namespace norvane
