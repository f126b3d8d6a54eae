#pragma once

#include <QByteArray>
#include <QFile>

// This process's memory as Linux reports it, in KiB; -1 where it cannot be read.
namespace processMemory {

// The figure after `field` in a "Name:   value kB" listing such as /proc/self/status.
inline qint64 figureKiB(const QString &path, const QByteArray &field) {
    QFile listing(path);
    if (!listing.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : listing.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    return -1;
}

// A figure of /proc/self/status: VmRSS (all resident memory), RssAnon (the heap and other
// private memory), RssFile (pages of mapped files: libraries, fonts).
inline qint64 statusKiB(const QByteArray &field = "VmRSS:") {
    return figureKiB(QStringLiteral("/proc/self/status"), field);
}

// The proportional set size: resident memory with each page shared with other processes (the X
// server maps the same graphics driver, for one) divided among them.
inline qint64 proportionalKiB() {
    return figureKiB(QStringLiteral("/proc/self/smaps_rollup"), "Pss:");
}

} // namespace processMemory
