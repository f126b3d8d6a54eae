#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace norvane {

// The working set of the OpenGL driver, trimmed once the views that drew with it are gone: the
// pages of the driver's libraries go back to the kernel, which reads them in again from the page
// cache (or the disk) when a view draws next. This is the trimming desktops apply to minimised
// programs. Only Linux offers it (MADV_PAGEOUT, Linux 5.4 and later); elsewhere trim() does
// nothing.
class DriverWorkingSet {
public:
    struct Mapping {
        quintptr start = 0;
        quintptr end = 0;
        friend bool operator==(const Mapping &, const Mapping &) = default;
    };

    // The file-backed mappings of the driver's libraries (Mesa's DRI and gallium drivers,
    // libLLVM, libGLX_mesa, libEGL_mesa, libglapi) in a /proc/<pid>/maps listing.
    [[nodiscard]] static QList<Mapping> driverMappings(const QByteArray &maps);

    // Advises the kernel to page out this process's driver mappings; returns the bytes advised
    // (0 where the system cannot).
    static qint64 trim();
};

} // namespace norvane
