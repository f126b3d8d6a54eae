#pragma once

#include "Session.h"

#include <QString>
#include <memory>
#include <optional>

namespace norvane {

// The applied session kept between runs, so that a timed profile still returns to Normal after
// Pellor was quit or restarted, and so that pellorctl and Pellor know what the other applied.
// One small JSON file, owner-only like the original-settings backup, stamped with the world
// whose settings the session changed; a session of another world is not this world's.
class SessionRecord {
public:
    SessionRecord(QString path, QString world);

    // Norvane/session.json in the user's application-support folder.
    static QString defaultPath();
    // The record at the default path, for the system of this process.
    static std::shared_ptr<const SessionRecord> ofCurrentSystem();

    [[nodiscard]] const QString &path() const { return m_path; }

    // The stored session of this world, or none. Throws PlatformError when the file cannot be
    // read or decoded, or holds an invalid profile.
    [[nodiscard]] std::optional<Session> load() const;
    // Keeps `session`, or forgets the stored one when none. Throws PlatformError.
    void save(const std::optional<Session> &session) const;

private:
    QString m_path;
    QString m_world;
};

} // namespace norvane
