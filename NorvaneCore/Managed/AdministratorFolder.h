#pragma once

#include "Platform/ApplicationSupport.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace norvane {

// The folder an administrator deploys managed profiles, rules and the policy into. Pellor reads
// it and never writes it. A file there counts only when no one but the administrator can change
// it: writable by neither its group nor other users, and owned by root or by the person running
// Pellor (who could lift any limit of a file of their own anyway; another user's file is what
// must never count).
class AdministratorFolder {
public:
    explicit AdministratorFolder(QString path = administratorFolder());

    [[nodiscard]] const QString &path() const { return m_path; }
    [[nodiscard]] QString filePath(const QString &fileName) const;

    // The file's bytes; none when there is no such file. Throws PlatformError saying why it was
    // refused or could not be read.
    [[nodiscard]] std::optional<QByteArray> read(const QString &fileName) const;

    // Why the file at `filePath` cannot be trusted; none when only the administrator can change it.
    [[nodiscard]] static std::optional<QString> distrust(const QString &filePath);

private:
    QString m_path;
};

} // namespace norvane
