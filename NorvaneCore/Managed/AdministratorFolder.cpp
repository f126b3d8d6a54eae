#include "AdministratorFolder.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace norvane {

namespace {

constexpr uint kRoot = 0;

[[noreturn]] void refuse(const QString &reason) {
    throw PlatformError(reason);
}

} // namespace

AdministratorFolder::AdministratorFolder(QString path) : m_path(std::move(path)) {}

QString AdministratorFolder::filePath(const QString &fileName) const {
    return QDir(m_path).filePath(fileName);
}

std::optional<QString> AdministratorFolder::distrust(const QString &filePath) {
    const QFileInfo file(filePath);
    if (file.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther))
        return L10n::text("users other than its owner can change it.");
    if (file.ownerId() != kRoot && file.ownerId() != geteuid())
        return L10n::text("it belongs neither to the administrator (root) nor to you.");
    return std::nullopt;
}

std::optional<QByteArray> AdministratorFolder::read(const QString &fileName) const {
    const QString path = filePath(fileName);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    if (const std::optional<QString> reason = distrust(path))
        refuse(*reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        refuse(file.errorString());
    return data;
}

} // namespace norvane
