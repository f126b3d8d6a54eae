#include "ViewWorkingSet.h"

#include <QFile>
#include <algorithm>
#include <array>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#ifndef MADV_PAGEOUT
#define MADV_PAGEOUT 21
#endif
#endif

namespace norvane {

namespace {

// The beginnings of the file names of the libraries only views use. Qt Gui and Widgets stay:
// the status item draws with them.
constexpr std::array viewLibraries{
    "libLLVM",      // the shader compiler of the software and AMD drivers
    "libgallium",   // Mesa's gallium drivers (Mesa 24 and later)
    "libGLX_mesa",  // Mesa's GLX
    "libEGL_mesa",  // Mesa's EGL
    "libglapi",     // Mesa's GL dispatch
    "libQt6Quick",  // Qt Quick, its controls, layouts and widget host
    "libQt6Qml",    // the QML engine and its models
    "libQt6OpenGL", // Qt's OpenGL helpers
};

bool isViewLibrary(const QByteArray &path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    // Mesa's DRI drivers: swrast_dri.so, iris_dri.so, … (one library under many names).
    if (name.contains("_dri.so"))
        return true;
    // The plugins of QML modules, in Qt's qml folder.
    if (path.contains("/qml/") && name.endsWith(".so"))
        return true;
    return std::ranges::any_of(viewLibraries,
                               [&name](const char *library) { return name.startsWith(library); });
}

} // namespace

QList<ViewWorkingSet::Mapping> ViewWorkingSet::viewMappings(const QByteArray &maps) {
    // Each line: start-end perms offset dev inode path
    QList<Mapping> mappings;
    for (const QByteArray &line : maps.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || !fields[5].startsWith('/') || !isViewLibrary(fields[5]))
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        bool startValid = false;
        bool endValid = false;
        const Mapping mapping{quintptr(range.value(0).toULongLong(&startValid, 16)),
                              quintptr(range.value(1).toULongLong(&endValid, 16))};
        if (startValid && endValid && mapping.end > mapping.start)
            mappings << mapping;
    }
    return mappings;
}

qint64 ViewWorkingSet::trim() {
#if defined(Q_OS_LINUX)
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return 0;
    qint64 advised = 0;
    for (const Mapping &mapping : viewMappings(maps.readAll())) {
        // A kernel without MADV_PAGEOUT answers EINVAL: nothing is trimmed, nothing breaks.
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the addresses come from the kernel's map.
        if (madvise(reinterpret_cast<void *>(mapping.start), mapping.end - mapping.start,
                    MADV_PAGEOUT) == 0)
            advised += qint64(mapping.end - mapping.start);
    }
    return advised;
#else
    return 0;
#endif
}

} // namespace norvane
