#include "KdeConfigFile.h"

#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace norvane {

namespace {

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

KdeConfigFile::KdeConfigFile(const QString &name) : m_name(name) {
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    m_path = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                 .filePath(name);
    m_exists = QFileInfo::exists(m_path);
    m_present = m_exists;
    m_read = contents(m_path);
    m_asRead = KConfigText(m_read);
    m_user = m_asRead;
    for (const QString &folder : folders.mid(1))
        if (const QString path = QDir(folder).filePath(name); QFileInfo::exists(path))
            m_system << KConfigText(contents(path));
}

KdeConfigFile KdeConfigFile::none(const QString &name) {
    KdeConfigFile file;
    file.m_name = name;
    return file;
}

QList<const KConfigText *> KdeConfigFile::cascade() const {
    QList<const KConfigText *> files;
    for (auto it = m_system.crbegin(); it != m_system.crend(); ++it)
        files << &*it;
    files << &m_user;
    return files;
}

std::optional<QString> KdeConfigFile::value(const QStringList &group, const QString &key) const {
    std::optional<QString> value;
    for (const KConfigText *file : cascade()) {
        if (const auto own = file->value(group, key))
            value = own;
        if (file->isImmutable(group, key) && value)
            break;
    }
    return value;
}

bool KdeConfigFile::hasGroup(const QStringList &group) const {
    const QList<const KConfigText *> files = cascade();
    return std::any_of(files.cbegin(), files.cend(),
                       [&](const KConfigText *file) { return file->hasGroup(group); });
}

bool KdeConfigFile::isLocked(const QStringList &group, const QString &key) const {
    QList<const KConfigText *> files = cascade();
    files.last() = &m_asRead;
    return std::any_of(files.cbegin(), files.cend(), [&](const KConfigText *file) {
        return key.isEmpty() ? file->isGroupLocked(group) : file->isImmutable(group, key);
    });
}

bool KdeConfigFile::isExpanded(const QStringList &group, const QString &key) const {
    const QList<const KConfigText *> files = cascade();
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        if ((*it)->value(group, key))
            return (*it)->isExpanded(group, key);
    return false;
}

void KdeConfigFile::save() {
    if (!isPresent()) {
        if (m_exists && !QFile::remove(m_path))
            throw PlatformError(QStringLiteral("Could not remove “%1”").arg(m_path));
        m_read.clear();
        m_asRead = m_user;
        m_exists = false;
        return;
    }
    createPrivateFolder(QFileInfo(m_path).path());
    writeFileDurably(m_path, m_user.bytes(),
                     m_exists ? std::optional(QFile::permissions(m_path))
                              : std::optional(QFile::ReadOwner | QFile::WriteOwner));
    m_read = m_user.bytes();
    m_asRead = m_user;
    m_exists = true;
    m_present = true;
}

} // namespace norvane
