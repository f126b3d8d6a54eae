#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace norvane {

// Tells when what the administrator's folder holds may have changed: a file written, added,
// removed or replaced by rename (as editors and deployment tools save), or the folder itself
// created or removed. Watches the folder, its files and the folder above it, where the folder may
// appear later; a file replaced by rename leaves the watch list and is watched again. Changes that
// arrive together are told once, from the event loop. Reads no file and writes none.
class AdministratorFolderWatcher : public QObject {
    Q_OBJECT

public:
    explicit AdministratorFolderWatcher(QString folder, QObject *parent = nullptr);

signals:
    void changed();

private:
    void watch();

    QString m_folder;
    QFileSystemWatcher *m_watcher;
    QTimer *m_coalesce;
};

} // namespace norvane
