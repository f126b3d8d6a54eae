#pragma once

#include <QString>

namespace norvane {

// A file in the program's folder "Norvane" under the user's application-support folder
// (~/Library/Application Support on a Mac, ~/.local/share elsewhere).
QString applicationSupportFile(const QString &fileName);

} // namespace norvane
