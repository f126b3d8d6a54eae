#pragma once

#include "ProfileIcon.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace norvane {

// A named set of power and display settings, with an optional automatic-return timer.
// Durations: display and system sleep in whole minutes, the screen saver in seconds, the
// automatic return in minutes; 0 means never (or no automatic return).
struct Profile {
    Profile(QString id, QString title, ProfileIcon icon, qint64 displayMinutes, qint64 sleepMinutes,
            qint64 screenSaverSeconds, qint64 defaultMinutes);

    QString id;
    QString title;
    ProfileIcon icon;
    qint64 displayMinutes;
    qint64 sleepMinutes;
    qint64 screenSaverSeconds;
    qint64 defaultMinutes;
    // Provided by the administrator (ManagedSettings): applied like any other, never changed.
    // Not part of the stored format.
    bool managed = false;

    friend bool operator==(const Profile &, const Profile &) = default;

    // The factory presets, built once and safe against concurrent first use.
    static const Profile &normal();
    static const Profile &vibe();
    static const Profile &focus();
    static const Profile &presentation();
    static const Profile &download();
    static const QList<Profile> &presets();

    [[nodiscard]] bool isPreset() const;
    [[nodiscard]] bool isNormal() const;
    [[nodiscard]] QString symbol() const { return icon.symbol(); }
    [[nodiscard]] bool keepsDisplayAwake() const { return displayMinutes == 0; }
    [[nodiscard]] bool keepsSystemAwake() const { return sleepMinutes == 0; }

    // A preset's translated name (whatever its stored title), else the title unchanged.
    [[nodiscard]] QString localizedTitle(const QString &language = {}) const;
    // "Display … · Sleep … · Screen saver …"
    [[nodiscard]] QString subtitle() const;
    // The subtitle plus " · Return to Normal after … min" when the profile has a timer.
    [[nodiscard]] QString detail() const;

    // A copy with the title trimmed, or a ConfigurationError with the first failing rule's message.
    [[nodiscard]] Profile validated() const;

    [[nodiscard]] QJsonObject toJson() const;
    // Requires all seven keys with their exact types; ignores unknown keys. Throws PlatformError.
    static Profile fromJson(const QJsonObject &object);
};

} // namespace norvane
