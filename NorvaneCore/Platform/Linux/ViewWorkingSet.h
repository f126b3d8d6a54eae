#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace norvane {

// The working set of the libraries that only views use (the OpenGL driver, Qt Quick and QML),
// trimmed once the views are gone: their pages go back to the kernel, which reads them in again
// from the page cache (or the disk) when a view is made next. This is the trimming desktops
// apply to minimised programs. Only Linux offers it (MADV_PAGEOUT, Linux 5.4 and later);
// elsewhere trim() does nothing.
class ViewWorkingSet {
public:
    struct Mapping {
        quintptr start = 0;
        quintptr end = 0;
        friend bool operator==(const Mapping &, const Mapping &) = default;
    };

    // The file-backed mappings of those libraries in a /proc/<pid>/maps listing.
    [[nodiscard]] static QList<Mapping> viewMappings(const QByteArray &maps);

    // Advises the kernel to page out this process's view mappings; returns the bytes advised
    // (0 where the system cannot).
    static qint64 trim();
};

} // namespace norvane
