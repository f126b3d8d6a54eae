#include "FileProfileStorage.h"

#include "Platform/ApplicationSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace norvane {

namespace {

[[noreturn]] void failToRead(const QString &path, const QString &reason) {
    throw PlatformError(QStringLiteral("Could not read “%1”: %2").arg(path, reason));
}

} // namespace

FileProfileStorage::FileProfileStorage(const std::optional<QString> &url)
    : m_url(url.value_or(defaultLocation())) {}

QString FileProfileStorage::defaultLocation() {
    return applicationSupportFile(QStringLiteral("profiles.json"));
}

std::optional<QByteArray> FileProfileStorage::read() {
    // Read once, at start: what a writer killed mid-write left beside the file goes then.
    removeStaleTemporaryFiles(m_url);
    // A dangling link counts as no file, as it would for a first start.
    if (!QFileInfo::exists(m_url))
        return std::nullopt;
    QFile file(m_url);
    if (!file.open(QIODevice::ReadOnly))
        failToRead(m_url, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        failToRead(m_url, file.errorString());
    return data;
}

QString FileProfileStorage::setAside(const QDate &today) {
    return setAsideDamagedFile(m_url, today);
}

void FileProfileStorage::write(const QByteArray &data) {
    createPrivateFolder(QFileInfo(m_url).absolutePath());
    writeFileDurably(m_url, data);
}

} // namespace norvane
