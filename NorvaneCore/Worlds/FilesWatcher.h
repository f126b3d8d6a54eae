#pragma once

#include "World.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

class QFileSystemWatcher;

namespace norvane {

// Tells of every change of some files, also when one is replaced by a rename (as the simulated
// Mac's state and KDE's settings are written) or made where there was none.
class FilesWatcher final : public SystemWatcher {
    Q_OBJECT

public:
    explicit FilesWatcher(QStringList files, QObject *parent = nullptr);

private:
    void folderOrFileChanged();
    // The files' change times, to tell a change of theirs from one of another file in their
    // folders.
    [[nodiscard]] QHash<QString, QDateTime> states() const;

    QStringList m_files;
    QHash<QString, QDateTime> m_states;
    QFileSystemWatcher *m_watcher;
};

} // namespace norvane
