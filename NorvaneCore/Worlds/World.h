#pragma once

#include "Configuration/ConfigurationBackend.h"
#include "Platform/SystemIdentity.h"
#include "Profiles/Profile.h"
#include "Status/PowerAssertions.h"
#include "Status/PowerStatus.h"
#include "Status/SystemSettings.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>

namespace norvane {

// Tells when the system says that something Pellor shows has changed (a desktop setting, the
// power source), so the views read again at once instead of at their next turn.
class SystemWatcher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void changed();
};

// Everything Pellor asks of the system it changes, whichever that is: a Mac, the simulated Mac, or
// a Linux desktop. Above this seam nothing knows which one answers. The reads block (processes,
// D-Bus calls with a time-out) and never fail: call them off the main thread. Thread-safe.
class World {
public:
    virtual ~World() = default;

    [[nodiscard]] virtual SystemIdentity identity() const = 0;
    // A fresh backend for one configuration transaction.
    [[nodiscard]] virtual std::shared_ptr<ConfigurationBackend> configurationBackend() const = 0;
    [[nodiscard]] virtual SystemSettings readSettings() const = 0;
    [[nodiscard]] virtual PowerStatus readPower() const = 0;
    // What keeps the display on or the computer awake; none when it cannot be read.
    [[nodiscard]] virtual std::optional<PowerAssertions> readHolders() const = 0;
    // Which of `names` run now for this user: each an executable name ("firefox"), a desktop-file
    // id ("firefox-esr.desktop") or, on a Mac, a bundle identifier ("com.apple.Keynote"). Blocks.
    [[nodiscard]] virtual QSet<QString> runningApplications(const QStringList &names) const {
        Q_UNUSED(names)
        return {};
    }
    // Why this system cannot hold the profile's settings (a time its settings cannot express),
    // for the editor to refuse before the profile is saved; none when it can.
    [[nodiscard]] virtual std::optional<QString> cannotHold(const Profile &profile) const {
        Q_UNUSED(profile)
        return std::nullopt;
    }
    // Lives on the calling thread; none where the system does not tell about changes.
    [[nodiscard]] virtual std::unique_ptr<SystemWatcher> watch() const { return nullptr; }
};

// The world of this process, chosen once at start (WorldChoice); until then the Mac's world on
// macOS and the simulated Mac's elsewhere.
[[nodiscard]] std::shared_ptr<const World> currentWorld();
// Installs `world` and makes its identity the current system's.
void setCurrentWorld(std::shared_ptr<const World> world);

} // namespace norvane
