#include "FilesWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace norvane {

FilesWatcher::FilesWatcher(QStringList files, QObject *parent)
    : SystemWatcher(parent), m_files(std::move(files)), m_watcher(new QFileSystemWatcher(this)) {
    // The folders too: a file replaced by a rename is no longer the one watched.
    QStringList paths;
    for (const QString &file : std::as_const(m_files)) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!paths.contains(folder) && QFileInfo(folder).isDir())
            paths << folder;
        if (QFileInfo::exists(file))
            paths << file;
    }
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
    m_states = states();
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &FilesWatcher::folderOrFileChanged);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FilesWatcher::folderOrFileChanged);
}

QHash<QString, QDateTime> FilesWatcher::states() const {
    QHash<QString, QDateTime> states;
    for (const QString &file : m_files) {
        const QFileInfo info(file);
        // The change time moves with every write and rename, also within the same second.
        states.insert(file, info.exists() ? info.metadataChangeTime() : QDateTime());
    }
    return states;
}

void FilesWatcher::folderOrFileChanged() {
    for (const QString &file : std::as_const(m_files))
        if (QFileInfo::exists(file) && !m_watcher->files().contains(file))
            m_watcher->addPath(file);
    const QHash<QString, QDateTime> now = states();
    if (now == m_states)
        return;
    m_states = now;
    Q_EMIT changed();
}

} // namespace norvane
