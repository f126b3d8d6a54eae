#include "PowerServices.h"

#include "DBusCalls.h"
#include "Platform/Linux/SysfsPowerSources.h"

#include <QDBusObjectPath>
#include <cmath>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QString kUPower = u"org.freedesktop.UPower"_s;
const QString kDevice = u"org.freedesktop.UPower.Device"_s;

// UPower's device kinds and states.
constexpr uint kBattery = 2;
constexpr uint kUps = 3;
constexpr uint kCharging = 1;
constexpr uint kDischarging = 2;
constexpr uint kFullyCharged = 4;

dbus::Address upower(const QString &path = u"/org/freedesktop/UPower"_s) {
    return {QDBusConnection::SystemBus, kUPower, path};
}

// Seconds as whole minutes, rounded up so that a few seconds never read as none; UPower's 0
// means unknown, which the Mac's -1 says.
qint64 minutes(const QVariant &seconds) {
    const qint64 value = seconds.toLongLong();
    return value > 0 ? (value + 59) / 60 : -1;
}

// One device as the Mac describes a power source; none for what does not power the system.
std::optional<PowerSourceDescription> described(const QVariantMap &device) {
    const uint kind = device.value(u"Type"_s).toUInt();
    if ((kind != kBattery && kind != kUps) ||
        (kind == kBattery && !device.value(u"PowerSupply"_s, true).toBool()))
        return std::nullopt;
    const uint state = device.value(u"State"_s).toUInt();
    return PowerSourceDescription{
        {u"Type"_s, kind == kUps ? u"UPS"_s : u"InternalBattery"_s},
        {u"Is Present"_s, device.value(u"IsPresent"_s, true).toBool()},
        {u"Current Capacity"_s, qint64(std::lround(device.value(u"Percentage"_s).toDouble()))},
        {u"Max Capacity"_s, qint64(100)},
        {u"Is Charging"_s, state == kCharging},
        {u"Is Charged"_s, state == kFullyCharged},
        {u"Time to Full Charge"_s, minutes(device.value(u"TimeToFull"_s))},
        {u"Time to Empty"_s, minutes(device.value(u"TimeToEmpty"_s))},
    };
}

} // namespace

std::optional<PowerSourceSnapshot> UPowerSources::fromUPower() {
    const auto daemon = dbus::properties(upower(), kUPower);
    if (!daemon)
        return std::nullopt;
    const auto listed = dbus::call(upower(), kUPower, u"EnumerateDevices"_s);
    PowerSourceSnapshot snapshot;
    bool upsDischarging = false;
    if (listed && !listed->isEmpty()) {
        for (const QDBusObjectPath &path : dbus::objectPaths(listed->first())) {
            const auto device = dbus::properties(upower(path.path()), kDevice);
            if (!device)
                continue;
            if (const auto description = described(*device)) {
                snapshot.descriptions << *description;
                upsDischarging =
                    upsDischarging || (device->value(u"Type"_s).toUInt() == kUps &&
                                       device->value(u"State"_s).toUInt() == kDischarging);
            }
        }
    }
    // UPower tells only that the system runs on a battery of some kind.
    if (daemon->value(u"OnBattery"_s).toBool())
        snapshot.providingType = upsDischarging ? u"UPS Power"_s : u"Battery Power"_s;
    else
        snapshot.providingType = u"AC Power"_s;
    return snapshot;
}

std::optional<PowerSourceSnapshot> UPowerSources::snapshot() const {
    if (auto fromDaemon = fromUPower())
        return fromDaemon;
    return SysfsPowerSources().snapshot();
}

std::optional<bool> powerSaverActive() {
    // The service's newer name first; Debian 12's 0.12 has only the older one.
    const std::pair<QString, QString> names[] = {
        {u"org.freedesktop.UPower.PowerProfiles"_s, u"/org/freedesktop/UPower/PowerProfiles"_s},
        {u"net.hadess.PowerProfiles"_s, u"/net/hadess/PowerProfiles"_s}};
    for (const auto &[service, path] : names) {
        const auto properties =
            dbus::properties({QDBusConnection::SystemBus, service, path}, service);
        if (properties && properties->contains(u"ActiveProfile"_s))
            return properties->value(u"ActiveProfile"_s).toString() == u"power-saver";
    }
    return std::nullopt;
}

} // namespace norvane
