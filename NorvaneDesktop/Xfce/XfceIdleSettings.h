#pragma once

#include "Configuration/MacConfiguration.h"

#include <QJsonObject>
#include <QVariantMap>
#include <QVersionNumber>

namespace norvane {

// Xfce's idle settings, the user's own, in xfconf. xfce4-power-manager (channel
// "xfce4-power-manager") turns the display to standby after /xfce4-power-manager/dpms-on-{ac,
// battery}-sleep minutes and off after dpms-on-{ac,battery}-off minutes (0 never, both only while
// dpms-enabled), and puts the computer to sleep after inactivity-on-{ac,battery} minutes; its
// "never" for that is 14 up to 4.19.2 and 0 from 4.19.3. xfce4-screensaver (channel
// "xfce4-screensaver") starts after /saver/idle-activation/delay minutes while
// /saver/idle-activation/enabled. A property without a value has the program's default.
//
// Native values are each property's D-Bus type and value (["u", 15]), null where it has none; a
// restore gives every property back exactly that.
class XfceIdleSettings {
public:
    // Reads both channels; throws ConfigurationError when xfconfd does not answer.
    XfceIdleSettings();

    // Every property without a value: the power manager's and the screen saver's defaults.
    [[nodiscard]] static MacConfiguration defaults();

    // The version of xfce4-power-manager: the running one's (org.xfce.PowerManager GetInfo), else
    // the installed one's (`xfce4-power-manager --version`, only when `mayRunProgram`, once per
    // process), else 4.18, Debian 12's, where 14 is the "never" to write (a 0 there would sleep
    // at once).
    [[nodiscard]] static QVersionNumber powerManagerVersion(bool mayRunProgram);
    // From 4.19.3 on, 0 means never; before, 14 does.
    [[nodiscard]] static bool neverIsZero(const QVersionNumber &version);
    // Why the power manager of `version` cannot sleep after `minutes` (14, where that means
    // Never); none when it can.
    [[nodiscard]] static std::optional<QString> refusedSleep(qint64 minutes,
                                                             const QVersionNumber &version);

    // The battery ("-b") and the power adapter ("-c"): the display turns off when it first goes
    // dark (standby or off); the screen saver; the native values. Throws ConfigurationError for a
    // value that is not a number or a truth value.
    [[nodiscard]] MacConfiguration configuration() const;

    // Makes the settings `target`'s: its native values exactly when it carries them (a restore),
    // else its minutes, sent with each property's own D-Bus type. Nothing is written when a
    // property to be changed is locked (the management-policy message).
    void write(const MacConfiguration &target);

private:
    struct Property {
        QString channel;
        QString name;
        QString signature; // the type the program reads it as
    };
    struct Change {
        Property property;
        QVariant value; // invalid: reset
    };

    XfceIdleSettings(QVariantMap power, QVariantMap saver, QVersionNumber version);

    [[nodiscard]] std::optional<QVariant> value(const Property &property) const;
    [[nodiscard]] qint64 number(const Property &property, qint64 fallback) const;
    [[nodiscard]] qint64 displayMinutes(const QString &source) const;
    [[nodiscard]] qint64 sleepMinutes(const QString &source) const;
    [[nodiscard]] qint64 screenSaverSeconds() const;
    [[nodiscard]] QJsonObject native() const;
    void change(QList<Change> &changes, const Property &owned, qint64 wanted) const;

    static Property property(const QString &key);
    static const QStringList kKeys;

    QVariantMap m_power;
    QVariantMap m_saver;
    QVersionNumber m_version;
};

} // namespace norvane
