#include "ApplicationSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace norvane {

QString applicationSupportFile(const QString &fileName) {
    const QDir base(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return base.filePath(QStringLiteral("Norvane/") + fileName);
}

QString administratorFolder() {
#ifdef Q_OS_MACOS
    return QStringLiteral("/Library/Application Support/Pellor");
#else
    // The configuration locations are the person's own folder ($XDG_CONFIG_HOME) followed by
    // the system's ($XDG_CONFIG_DIRS); only the system's belong to the administrator.
    QStringList systemFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    systemFolders.removeAll(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    if (systemFolders.isEmpty())
        systemFolders << QStringLiteral("/etc/xdg");
    for (const QString &folder : std::as_const(systemFolders)) {
        QString candidate = QDir(folder).filePath(QStringLiteral("pellor"));
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return QDir(systemFolders.constFirst()).filePath(QStringLiteral("pellor"));
#endif
}

} // namespace norvane
