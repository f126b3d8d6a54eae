#include "ApplicationSupport.h"

#include <QDir>
#include <QStandardPaths>

namespace norvane {

QString applicationSupportFile(const QString &fileName) {
    const QDir base(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return base.filePath(QStringLiteral("Norvane/") + fileName);
}

} // namespace norvane
