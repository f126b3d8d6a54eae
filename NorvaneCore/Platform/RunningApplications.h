#pragma once

#include <QStringList>

namespace norvane {

// The applications running for this user, by bundle identifier ("com.apple.Keynote"), as the
// Mac's workspace lists them.
class RunningApplications {
public:
    virtual ~RunningApplications() = default;
    [[nodiscard]] virtual QStringList bundleIdentifiers() const = 0;
};

} // namespace norvane
