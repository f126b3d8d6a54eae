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
// The power manager also darkens the screen without DPMS: it blanks it through the X screen saver
// after blank-on-{ac,battery} minutes (int, 0 never, default 10) and reduces the brightness after
// brightness-on-{ac,battery} seconds (9 or less never; defaults 9 and 300).
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
    // dark (standby or off), or where DPMS never does, when the screen is first blanked or
    // dimmed; the screen saver; the native values. Throws ConfigurationError for a value that is
    // not a number or a truth value.
    [[nodiscard]] MacConfiguration configuration() const;
    // What a restore of `backup` leaves: its native values, xfconf's own for properties it does
    // not name (a backup made before Pellor knew them), and the minutes those read as. Writes
    // nothing.
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup);

    // Makes the settings `target`'s: its native values exactly when it carries them (a restore),
    // else its minutes, sent with each property's own D-Bus type; Never turns blanking and
    // dimming off, and a time after Never brings them back from `original` (the backup's native
    // values), else the power manager's defaults. Nothing is written when a property to be
    // changed is locked (the management-policy message).
    void write(const MacConfiguration &target, const QJsonObject &original = {});

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
    [[nodiscard]] qint64 offMinutes(const QString &source) const;
    // When blanking or dimming first darkens the screen; 0 when neither does.
    [[nodiscard]] qint64 darkMinutes(const QString &source) const;
    [[nodiscard]] qint64 sleepMinutes(const QString &source) const;
    [[nodiscard]] qint64 screenSaverSeconds() const;
    [[nodiscard]] QJsonObject native() const;
    void change(QList<Change> &changes, const Property &owned, qint64 wanted) const;
    // Gives the property a native value (["u", 15]), or none for anything else.
    void restoreValue(QList<Change> &changes, const Property &owned, const QJsonValue &saved) const;
    [[nodiscard]] QList<Change> nativeChanges(const QJsonObject &native) const;
    [[nodiscard]] QList<Change> minuteChanges(const MacConfiguration &target,
                                              const QJsonObject &original) const;
    void stopDarkening(QList<Change> &changes, const QString &source) const;
    void resumeDarkening(QList<Change> &changes, const QString &source,
                         const QJsonObject &original) const;

    static Property property(const QString &key);
    static const QStringList kKeys;

    QVariantMap m_power;
    QVariantMap m_saver;
    QVersionNumber m_version;
};

} // namespace norvane
