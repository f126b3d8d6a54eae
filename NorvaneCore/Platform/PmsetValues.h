#pragma once

#include <QHash>
#include <QString>

namespace norvane {

// The "name value" lines of pmset's output: the first word of each line mapped to its second
// word when that is a base-10 64-bit integer (an optional sign and ASCII digits); words after the
// second are ignored, and a later line replaces an earlier one of the same name.
[[nodiscard]] QHash<QString, qint64> pmsetValues(const QString &text);

} // namespace norvane
