#pragma once

#include "KConfigText.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace norvane {

// One KDE configuration file as KConfig reads it: the system-wide copies in $XDG_CONFIG_DIRS
// (an administrator's defaults and locks) under the user's own in $XDG_CONFIG_HOME, which is the
// one Pellor edits. A value of a system-wide copy holds unless a more important file sets the key,
// and one marked immutable holds for good.
class KdeConfigFile {
public:
    // Reads the files named `name` ("powerdevilrc"); missing ones are empty.
    explicit KdeConfigFile(const QString &name);
    // The file named `name` as a new user has it: none at all, neither the user's nor a
    // system-wide copy. Nothing is read.
    [[nodiscard]] static KdeConfigFile none(const QString &name);

    [[nodiscard]] const QString &name() const { return m_name; }
    [[nodiscard]] const QString &path() const { return m_path; }
    [[nodiscard]] bool exists() const { return m_exists; }
    // The user's file, to read and edit.
    [[nodiscard]] KConfigText &user() { return m_user; }
    [[nodiscard]] const KConfigText &user() const { return m_user; }

    // The value KDE reads: the user's edited text over the system-wide copies.
    [[nodiscard]] std::optional<QString> value(const QStringList &group, const QString &key) const;
    // Some file gives the group an entry.
    [[nodiscard]] bool hasGroup(const QStringList &group) const;
    // An administrator (or the user) has made the key, or with an empty key the group or any of
    // its entries, immutable in one of the files as read.
    [[nodiscard]] bool isLocked(const QStringList &group, const QString &key = {}) const;
    // The key's value asks for expansion ("[$e]") in the file that gives it.
    [[nodiscard]] bool isExpanded(const QStringList &group, const QString &key) const;

    // The user's file is there once saved: it has text, or it was there as read, or
    // setPresent(true) keeps it when empty.
    [[nodiscard]] bool isPresent() const { return m_present || !m_user.bytes().isEmpty(); }
    // Whether an empty text keeps the file (as an empty file) or removes it.
    void setPresent(bool present) { m_present = present; }

    // The edits differ from the file as read.
    [[nodiscard]] bool isChanged() const {
        return m_user.bytes() != m_read || isPresent() != m_exists;
    }
    // Writes the edited text through a temporary file renamed over the user's file, keeping its
    // permissions; removes the file when it is not to be present. Throws PlatformError.
    void save();

private:
    KdeConfigFile() = default;

    // Least important first, the user's last.
    [[nodiscard]] QList<const KConfigText *> cascade() const;

    QString m_name;
    QString m_path;
    bool m_exists = false;
    bool m_present = false;
    QByteArray m_read;
    KConfigText m_asRead;
    KConfigText m_user;
    QList<KConfigText> m_system; // most important first, as $XDG_CONFIG_DIRS lists them
};

} // namespace norvane
