#include "SysfsPowerSources.h"

#include "Platform/VariantNumbers.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace norvane {

namespace {

// One supply's folder; attributes that cannot be read count as missing.
class Supply {
public:
    explicit Supply(const QString &path) : m_folder(path) {}

    [[nodiscard]] std::optional<QString> text(const QString &name) const {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray data = file.readAll();
        if (data.isEmpty() && file.error() != QFileDevice::NoError)
            return std::nullopt;
        return QString::fromUtf8(data).trimmed();
    }

    [[nodiscard]] std::optional<qint64> number(const QString &name) const {
        const auto value = text(name);
        if (!value)
            return std::nullopt;
        bool ok = false;
        const qint64 result = value->toLongLong(&ok);
        return ok ? std::optional(result) : std::nullopt;
    }

    [[nodiscard]] QString type() const { return text(QStringLiteral("type")).value_or(QString()); }
    [[nodiscard]] QString status() const {
        return text(QStringLiteral("status")).value_or(QString());
    }
    [[nodiscard]] QString name() const { return m_folder.dirName(); }

    // Supplies of peripherals (a mouse's battery) say "Device"; older kernels say nothing.
    [[nodiscard]] bool powersTheSystem() const {
        const auto scope = text(QStringLiteral("scope"));
        return !scope || *scope == QLatin1String("System");
    }
    [[nodiscard]] bool isOnline() const {
        return number(QStringLiteral("online")).value_or(0) == 1;
    }
    [[nodiscard]] bool isPresent() const {
        return number(QStringLiteral("present")).value_or(1) != 0;
    }

private:
    QDir m_folder;
};

bool isExternalSupply(const QString &type) {
    return type == QLatin1String("Mains") || type.startsWith(QLatin1String("USB"));
}

std::optional<qint64> roundedRatio(double numerator, double denominator, double scale) {
    if (denominator <= 0 || numerator < 0)
        return std::nullopt;
    return roundedInteger(numerator / denominator * scale);
}

// Percent of charge: the kernel's own figure, else from energy or charge counters.
std::optional<qint64> capacityPercent(const Supply &supply) {
    if (const auto capacity = supply.number(QStringLiteral("capacity")))
        return capacity;
    for (const auto &[now, full] :
         {std::pair{"energy_now", "energy_full"}, std::pair{"charge_now", "charge_full"}}) {
        const auto current = supply.number(QLatin1String(now));
        const auto maximum = supply.number(QLatin1String(full));
        if (current && maximum)
            if (auto percent = roundedRatio(double(*current), double(*maximum), 100))
                return std::min<qint64>(*percent, 100);
    }
    return std::nullopt;
}

// Minutes until the counter reaches `target` (full) or zero (empty) at the present rate, from the
// kernel's own estimate when it gives one.
std::optional<qint64> minutesUntil(const Supply &supply, bool toFull) {
    if (const auto seconds = supply.number(toFull ? QStringLiteral("time_to_full_now")
                                                  : QStringLiteral("time_to_empty_now")))
        return *seconds >= 0 ? roundedInteger(double(*seconds) / 60) : std::nullopt;
    for (const auto &[amount, full, rate] :
         {std::tuple{"energy_now", "energy_full", "power_now"},
          std::tuple{"charge_now", "charge_full", "current_now"}}) {
        const auto now = supply.number(QLatin1String(amount));
        const auto flow = supply.number(QLatin1String(rate)); // the sign differs between drivers
        if (!now || !flow || *flow == 0)
            continue;
        if (!toFull)
            return roundedRatio(double(*now), std::abs(double(*flow)), 60);
        if (const auto maximum = supply.number(QLatin1String(full)))
            // In floating point, as absurd counters would overflow an integer difference.
            return roundedRatio(std::max(double(*maximum) - double(*now), 0.0),
                                std::abs(double(*flow)), 60);
    }
    return std::nullopt;
}

PowerSourceDescription describe(const Supply &supply, const QString &macType) {
    const QString status = supply.status();
    const bool charging = status == QLatin1String("Charging");
    PowerSourceDescription description{
        {QStringLiteral("Type"), macType},
        {QStringLiteral("Name"), supply.name()},
        {QStringLiteral("Is Present"), supply.isPresent()},
        {QStringLiteral("Is Charging"), charging},
        {QStringLiteral("Is Charged"), status == QLatin1String("Full")},
    };
    if (const auto percent = capacityPercent(supply)) {
        description.insert(QStringLiteral("Current Capacity"), *percent);
        description.insert(QStringLiteral("Max Capacity"), qint64(100));
    }
    if (charging) {
        if (const auto minutes = minutesUntil(supply, true))
            description.insert(QStringLiteral("Time to Full Charge"), *minutes);
    } else if (status == QLatin1String("Discharging")) {
        if (const auto minutes = minutesUntil(supply, false))
            description.insert(QStringLiteral("Time to Empty"), *minutes);
    }
    return description;
}

std::optional<QString> providingType(const QList<Supply> &supplies) {
    if (supplies.isEmpty())
        return QStringLiteral("AC Power"); // a desktop without any battery
    bool hasExternal = false;
    bool batteryDischarges = false;
    bool batteryCharges = false;
    bool upsDischarges = false;
    for (const Supply &supply : supplies) {
        const QString type = supply.type();
        if (isExternalSupply(type)) {
            hasExternal = true;
            if (supply.isOnline())
                return QStringLiteral("AC Power");
        } else if (type == QLatin1String("Battery") && supply.isPresent()) {
            batteryDischarges |= supply.status() == QLatin1String("Discharging");
            batteryCharges |= supply.status() == QLatin1String("Charging");
        } else if (type == QLatin1String("UPS")) {
            upsDischarges |= supply.status() == QLatin1String("Discharging");
        }
    }
    if (batteryDischarges)
        return QStringLiteral("Battery Power");
    if (upsDischarges)
        return QStringLiteral("UPS Power");
    // Without any mains supply listed, a charging battery still shows that external power is on.
    if (!hasExternal && batteryCharges)
        return QStringLiteral("AC Power");
    return std::nullopt;
}

} // namespace

SysfsPowerSources::SysfsPowerSources(QString root) : m_root(std::move(root)) {}

std::optional<PowerSourceSnapshot> SysfsPowerSources::snapshot() const {
    const QDir root(m_root);
    if (!root.exists())
        return std::nullopt;
    QList<Supply> supplies;
    // Entries are symbolic links to the devices' folders.
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        Supply supply(root.filePath(name));
        if (supply.powersTheSystem())
            supplies << supply;
    }
    PowerSourceSnapshot snapshot;
    for (const Supply &supply : supplies) {
        const QString type = supply.type();
        if (type == QLatin1String("Battery"))
            snapshot.descriptions << describe(supply, QStringLiteral("InternalBattery"));
        else if (type == QLatin1String("UPS"))
            snapshot.descriptions << describe(supply, QStringLiteral("UPS"));
    }
    snapshot.providingType = providingType(supplies);
    return snapshot;
}

} // namespace norvane
