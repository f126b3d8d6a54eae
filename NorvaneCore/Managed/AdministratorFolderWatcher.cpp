#include "AdministratorFolderWatcher.h"

#include "ManagedSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace norvane {

AdministratorFolderWatcher::AdministratorFolderWatcher(QString folder, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_watcher(new QFileSystemWatcher(this)),
      m_coalesce(new QTimer(this)) {
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(0);
    connect(m_coalesce, &QTimer::timeout, this, [this] {
        watch();
        emit changed();
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_coalesce,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_coalesce, qOverload<>(&QTimer::start));
    watch();
}

void AdministratorFolderWatcher::watch() {
    const QDir folder(m_folder);
    QStringList paths{QFileInfo(m_folder).absolutePath(), m_folder};
    for (const char *file :
         {ManagedSettings::policyFile, ManagedSettings::profilesFile, ManagedSettings::rulesFile})
        paths << folder.filePath(QString::fromUtf8(file));
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    for (const QString &path : std::as_const(paths))
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher->addPath(path);
}

} // namespace norvane
