#include "DurableFile.h"

#include "Platform/ConfigurationError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane {

namespace {

[[noreturn]] void failWithErrno(const QString &what, int error) {
    throw PlatformError(
        QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error))));
}

void syncFolder(const QString &folderPath) {
    const int fd =
        ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        failWithErrno(QStringLiteral("Could not open the folder “%1”").arg(folderPath), errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL) // some file systems cannot sync folders
        failWithErrno(QStringLiteral("Could not sync the folder “%1”").arg(folderPath), error);
}

} // namespace

void createPrivateFolder(const QString &folderPath) {
    const QString clean = QDir::cleanPath(QDir(folderPath).absolutePath());
    if (QFileInfo(clean).isDir())
        return;
    // Create each missing level with 0700, parents first.
    const QString parent = QFileInfo(clean).path();
    if (parent != clean)
        createPrivateFolder(parent);
    if (::mkdir(QFile::encodeName(clean).constData(), S_IRWXU) != 0 && errno != EEXIST)
        failWithErrno(QStringLiteral("Could not create the folder “%1”").arg(clean), errno);
}

void writeFileDurably(const QString &path, const QByteArray &data,
                      std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw PlatformError(
            QStringLiteral("Could not write “%1”: %2").arg(path, file.errorString()));
    // Set on the temporary file, so the file never appears with wider permissions.
    if (permissions && !file.setPermissions(*permissions)) {
        file.cancelWriting();
        throw PlatformError(QStringLiteral("Could not set the permissions of “%1”").arg(path));
    }
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw PlatformError(QStringLiteral("Could not write “%1”: %2").arg(path, reason));
    }
#ifdef Q_OS_MACOS
    // fsync() on macOS only reaches the drive's cache; F_FULLFSYNC reaches the platter.
    if (::fcntl(file.handle(), F_FULLFSYNC) != 0 && ::fsync(file.handle()) != 0)
        failWithErrno(QStringLiteral("Could not write “%1”").arg(path), errno);
#endif
    // commit() syncs the temporary file's data before renaming it over the target.
    if (!file.commit())
        throw PlatformError(
            QStringLiteral("Could not write “%1”: %2").arg(path, file.errorString()));
    syncFolder(QFileInfo(path).absolutePath());
}

QString setAsideDamagedFile(const QString &path, const QDate &date) {
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-") +
                                             date.toString(Qt::ISODate));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString target = stem + suffix;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = stem + u'-' + QString::number(n) + suffix;
    QFile file(path);
    if (!file.rename(target)) // never replaces a file that appeared meanwhile
        throw PlatformError(
            QStringLiteral("Could not set aside “%1”: %2").arg(path, file.errorString()));
    syncFolder(info.absolutePath());
    return target;
}

void removeStaleTemporaryFiles(const QString &path, std::chrono::seconds age) {
    const QFileInfo target(path);
    // Six letters or digits, at least one of them a capital or a digit: a name nobody gives a
    // copy of their own ("profiles.json.backup" stays).
    const QRegularExpression temporary(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(target.fileName()) +
                                            QStringLiteral("\\.(?=[a-z]*[A-Z0-9])[A-Za-z0-9]{6}")));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-age.count());
    const QFileInfoList siblings =
        target.dir().entryInfoList({target.fileName() + QStringLiteral(".??????")},
                                   QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &sibling : siblings)
        if (temporary.match(sibling.fileName()).hasMatch() && sibling.lastModified() < before)
            QFile::remove(sibling.filePath());
}

} // namespace norvane
