#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace norvane {

// Which of `names` run now for this user on Linux: each an executable name ("firefox") or a
// desktop-file id ("firefox-esr.desktop", whose entry's Exec and TryExec programs, or Flatpak app,
// are looked for). A process runs a program when its executable (/proc/<pid>/exe), its argv[0] or
// its kernel name (comm, which keeps the first 15 bytes only) names it.
//
// Read from /proc rather than from the desktop's list of windows or applications: it costs a few
// small reads per process of this user, every desktop has it, and it needs no permission; GNOME
// Shell's Introspect interface answers only privileged callers, and KDE and Xfce offer none.
// Processes that end while read are skipped. Blocks.
[[nodiscard]] QSet<QString>
runningLinuxApplications(const QStringList &names,
                         const QString &procRoot = QStringLiteral("/proc"));

} // namespace norvane
