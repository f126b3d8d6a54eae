#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// Xfce's settings daemon, xfconfd, over D-Bus (org.xfce.Xfconf at /org/xfce/Xfconf on the session
// bus), started by the bus when it does not run yet. Values keep their D-Bus types: xfconfd stores
// a property with the type it is sent, and its readers (xfce4-power-manager asks for unsigned
// numbers) find nothing of another type. Every failure throws ConfigurationError.
namespace norvane::xfconf {

// The channel's properties under `base` ("/"), by name; none when the channel is empty.
[[nodiscard]] QVariantMap properties(const QString &channel,
                                     const QString &base = QStringLiteral("/"));
// An administrator has locked the property (xfconf's kiosk settings).
[[nodiscard]] bool isLocked(const QString &channel, const QString &property);
// `value`'s type is the one sent: uint "u", int "i", bool "b".
void set(const QString &channel, const QString &property, const QVariant &value);
// Removes the user's value, so the program's default holds again.
void reset(const QString &channel, const QString &property);

// The D-Bus signature of a value as Qt D-Bus sends it ("u", "i", "b", "s", …); empty for others.
[[nodiscard]] QString signature(const QVariant &value);
// A value of the D-Bus type `signature` holding `number` (booleans: 0 or 1); invalid for a type
// Pellor does not write.
[[nodiscard]] QVariant typed(const QString &signature, qint64 number);

} // namespace norvane::xfconf
