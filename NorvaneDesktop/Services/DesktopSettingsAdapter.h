#pragma once

#include "Configuration/MacConfiguration.h"
#include "DesktopWatcher.h"
#include "Platform/SystemIdentity.h"
#include "SleepHolders.h"

#include <QJsonObject>
#include <optional>

namespace norvane {

struct Profile;

// One desktop's idle settings, all that differs between desktops: what the desktop is called and
// where it keeps the settings, how Pellor's minutes map onto its keys and how Never is written,
// what to watch for changes, and its defaults. Every call reads or writes the desktop's store
// afresh. The power services are the same on every desktop and are not the adapter's.
class DesktopSettingsAdapter {
public:
    virtual ~DesktopSettingsAdapter() = default;

    [[nodiscard]] virtual SystemIdentity identity() const = 0;
    // Whose inhibitors keep the computer awake besides logind's.
    [[nodiscard]] virtual DesktopSession session() const { return DesktopSession::none; }
    [[nodiscard]] virtual WatchedSettings watched() const = 0;

    // The settings in effect.
    [[nodiscard]] virtual MacConfiguration read() const = 0;
    // `backup` as the desktop reads back once it is restored.
    [[nodiscard]] virtual MacConfiguration restoring(const MacConfiguration &backup) const = 0;
    // Makes the settings `target`'s: its native values exactly when it carries them (a restore),
    // else the values its minutes ask for, with what Never set aside given back from `original`
    // (the backup's native values; empty without a usable backup). A locked key stops it with the
    // management-policy message before anything is written.
    virtual void write(const MacConfiguration &target, const QJsonObject &original) const = 0;
    // The desktop's own settings for a new user.
    [[nodiscard]] virtual MacConfiguration defaults() const = 0;

    // Whether Pellor's screen-saver time is written (false where the screen saver starts with
    // the display).
    [[nodiscard]] virtual bool holdsScreenSaver() const { return true; }
    // The timers of the desktop's own low-battery settings when they are in effect with the
    // battery at `percentage`; none when the battery's usual ones hold.
    [[nodiscard]] virtual std::optional<PowerSourceConfiguration>
    lowBattery(qint64 percentage) const {
        (void)percentage;
        return std::nullopt;
    }
    // Why the desktop cannot hold `profile`; none when it can.
    [[nodiscard]] virtual std::optional<QString> cannotHold(const Profile &profile) const {
        (void)profile;
        return std::nullopt;
    }
};

} // namespace norvane
