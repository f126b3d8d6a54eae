#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace norvane {

// The preferences of the current user on the current host (CFPreferences on a Mac), plus the
// distributed notification that tells the system a domain changed.
class HostPreferences {
public:
    virtual ~HostPreferences() = default;

    // Flushes pending writes and picks up changes made by others; false on failure.
    [[nodiscard]] virtual bool synchronize(const QString &domain) = 0;
    // The stored value, or none. Numbers come back as numeric QVariants, text as QString.
    [[nodiscard]] virtual std::optional<QVariant> copyValue(const QString &key,
                                                            const QString &domain) = 0;
    // Stores a value; none removes the stored value. Takes effect at the next synchronize.
    virtual void setValue(const QString &key, const std::optional<QVariant> &value,
                          const QString &domain) = 0;
    // Posts a distributed notification with no object and no user information.
    virtual void postNotification(const QString &name) = 0;
};

} // namespace norvane
