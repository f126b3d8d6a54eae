#pragma once

#include "Configuration/MacConfiguration.h"
#include "GSettingsKeys.h"

#include <QJsonObject>

namespace norvane {

// GNOME's idle settings, the user's own: the display turns off (and the screen shield starts)
// after org.gnome.desktop.session idle-delay seconds; the computer then sleeps after
// org.gnome.settings-daemon.plugins.power sleep-inactive-{ac,battery}-timeout seconds, doing what
// sleep-inactive-{ac,battery}-type says ("nothing" never). While idle-dim is on,
// gnome-settings-daemon dims the screen before that, and after a minute when idle-delay is 0.
// Values are the keys' own, by key name; as native values of a configuration a key at its default
// is null, so that a restore gives it back its default rather than a copy of it.
class GnomeIdleSettings {
public:
    static const QString kIdleDelay, kIdleDim;
    static const QString kAcTimeout, kAcType, kBatteryTimeout, kBatteryType;
    static const QString kNothing;  // the type that never sleeps
    static const QStringList kKeys; // all six

    // Opens both schemas; throws ConfigurationError naming a schema or key that is missing.
    GnomeIdleSettings();

    // Both schemas and all six keys are installed.
    [[nodiscard]] static bool isInstalled();

    // Every key's value in effect.
    [[nodiscard]] QJsonObject values() const;
    // Every key's value as the user set it; null for a key at its default.
    [[nodiscard]] QJsonObject userValues() const;
    // What Pellor sees of them: the battery ("-b") and the power adapter ("-c") with the same
    // display minutes, no screen saver of their own, and the values themselves as native ones.
    // The display minutes are idle-delay's, or with idle-delay 0 the minute after which GNOME
    // dims while idle-dim is on: "Never" only when the screen stays lit.
    [[nodiscard]] MacConfiguration configuration() const;
    // The configuration of every key at GNOME's default (the native values all null).
    [[nodiscard]] MacConfiguration defaults() const;
    // What a restore of `backup` leaves: its native values, the current ones of keys it does not
    // name (a backup made before Pellor knew them), and the minutes those read as.
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup) const;
    [[nodiscard]] QJsonValue defaultValue(const QString &key) const;

    // Sets the keys whose values differ (null: back to the default where the user set one).
    // Every key must take its value first: one locked by an administrator gives the
    // management-policy message, a value out of range the range message, and then nothing is
    // written.
    void write(const QJsonObject &wanted);

    // Idle seconds as Pellor's whole minutes, rounded up and at most a day; 0 stays never.
    [[nodiscard]] static qint64 minutes(qint64 seconds);

private:
    [[nodiscard]] static MacConfiguration configurationOf(const QJsonObject &inEffect,
                                                          const QJsonObject &native);
    GSettingsKeys m_keys;
};

} // namespace norvane
