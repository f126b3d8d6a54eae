#pragma once

#include <QList>
#include <QString>
#include <glib.h>
#include <utility>

namespace norvane::dconf {

// GSettings keeps the user's values in dconf here (its default backend).
[[nodiscard]] bool isInUse();

// A value for the key at `path` ("/org/gnome/desktop/session/idle-delay"); a null value gives
// the key its default back.
using Write = std::pair<QString, GVariant *>;

// Writes every value in one change through dconf's own service, as GSettings' dconf backend does,
// but waits for its answer for at most `timeoutMs`: once it has answered, the values are in the
// database on disk, where every later reading (this process's too) finds them. GSettings' own
// sync instead waits 25 seconds for a service that does not answer, while its readings show what
// it has not handed over yet. Takes the values' floating references. Throws ConfigurationError
// when the service does not answer in time or refuses the change (with its own reason).
void write(const QList<Write> &values, int timeoutMs);

} // namespace norvane::dconf
