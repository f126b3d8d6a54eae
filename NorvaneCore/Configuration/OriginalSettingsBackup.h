#pragma once

#include "MacConfiguration.h"

#include <QDate>
#include <QString>

namespace norvane {

// The settings found before the first change ever made, in a JSON file that is written once and
// never overwritten: readable by its owner only, in a folder only its owner can enter. It records
// the system it belongs to (a backup without one is a Mac's), and one system's backup is never
// written to another.
class OriginalSettingsBackup {
public:
    // `world`: the id of the system whose settings the backup holds (SystemIdentity::id).
    OriginalSettingsBackup(QString path, QString world);

    // In the user's application-support folder: Norvane/original-settings.json for a Mac (real or
    // simulated), Norvane/original-settings-<world>.json for a desktop.
    static QString defaultPath(const QString &world);
    // The backup at its default path, for the system of this process.
    static OriginalSettingsBackup ofCurrentSystem();

    [[nodiscard]] const QString &path() const { return m_path; }
    [[nodiscard]] bool exists() const;

    // Stores `configuration` unless a backup exists; an existing one must still be usable, so a
    // damaged backup stops every change before anything is written.
    void saveIfMissing(const MacConfiguration &configuration) const;
    // The backed-up settings, checked as a whole. A missing backup gives the "no profile has been
    // applied" message; a file that cannot be read, decoded or used throws
    // ConfigurationError::damaged naming it.
    [[nodiscard]] MacConfiguration load() const;

    // Renames a damaged backup beside itself ("original-settings-damaged-<date>.json"), so that
    // the next apply makes a new one from the settings found then. Returns the new path.
    [[nodiscard]] QString setAside(const QDate &today) const;
    // What to tell once the backup is `aside`: the next apply makes a new backup of the settings
    // in effect then, or of the system's defaults while a profile of Pellor's is in effect.
    [[nodiscard]] static QString setAsideNotice(const QString &aside, bool profileInEffect);

private:
    QString m_path;
    QString m_world;
};

} // namespace norvane
