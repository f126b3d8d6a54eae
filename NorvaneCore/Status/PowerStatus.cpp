#include "PowerStatus.h"

#include "Platform/Platform.h"
#include "Platform/VariantNumbers.h"

#include <algorithm>
#include <cmath>

namespace norvane {

namespace {

const QString kType = QStringLiteral("Type");

bool isPresent(const PowerSourceDescription &description) {
    return truthValue(description.value(QStringLiteral("Is Present"))).value_or(true);
}

const PowerSourceDescription *firstOfType(const QList<const PowerSourceDescription *> &present,
                                          QLatin1String type) {
    const auto found =
        std::find_if(present.cbegin(), present.cend(), [&](const PowerSourceDescription *d) {
            const QVariant value = d->value(kType);
            return value.typeId() == QMetaType::QString && value.toString() == type;
        });
    return found == present.cend() ? nullptr : *found;
}

// Lookups on the selected description; a missing description reads as empty.
class Selected {
public:
    explicit Selected(const PowerSourceDescription *description) : m_description(description) {}

    [[nodiscard]] std::optional<qint64> number(const QString &key) const {
        return m_description ? integerValue(m_description->value(key)) : std::nullopt;
    }
    [[nodiscard]] bool flag(const QString &key) const {
        return m_description && truthValue(m_description->value(key)).value_or(false);
    }
    [[nodiscard]] std::optional<qint64> estimate(const QString &key, bool valid) const {
        const auto minutes = number(key);
        return valid && minutes && *minutes > 0 ? minutes : std::nullopt;
    }
    [[nodiscard]] std::optional<qint64> percentage() const {
        const auto current = number(QStringLiteral("Current Capacity"));
        if (!current)
            return std::nullopt;
        const auto maximum = number(QStringLiteral("Max Capacity"));
        if (!maximum || *current < 0 || *maximum < 1)
            return std::nullopt;
        // std::round rounds halves away from zero.
        const double percent = std::round(double(*current) / double(*maximum) * 100.0);
        return qint64(std::min(percent, 100.0));
    }

private:
    const PowerSourceDescription *m_description;
};

} // namespace

PowerStatus PowerStatus::read() {
    return read(*Platform::system().powerSources);
}

PowerStatus PowerStatus::read(const PowerSources &sources) {
    const auto snapshot = sources.snapshot();
    if (!snapshot)
        return parse({}, std::nullopt);
    return parse(snapshot->descriptions, snapshot->providingType);
}

PowerStatus PowerStatus::parse(const QList<PowerSourceDescription> &descriptions,
                               const std::optional<QString> &providing) {
    PowerStatus status;
    if (providing == QLatin1String("AC Power"))
        status.source = Source::adapter;
    else if (providing == QLatin1String("Battery Power"))
        status.source = Source::battery;
    else if (providing == QLatin1String("UPS Power"))
        status.source = Source::ups;
    const bool onBattery = status.source == Source::battery;
    const bool onUps = status.source == Source::ups;

    QList<const PowerSourceDescription *> present;
    for (const PowerSourceDescription &description : descriptions)
        if (isPresent(description))
            present << &description;
    const PowerSourceDescription *battery = firstOfType(present, QLatin1String("InternalBattery"));
    status.hasBattery = battery != nullptr;

    const Selected selected(onUps ? firstOfType(present, QLatin1String("UPS")) : battery);
    status.percentage = selected.percentage();
    status.isCharging = selected.flag(QStringLiteral("Is Charging"));
    status.isCharged = selected.flag(QStringLiteral("Is Charged"));
    status.minutesToFull =
        selected.estimate(QStringLiteral("Time to Full Charge"), status.isCharging);
    status.minutesRemaining = selected.estimate(QStringLiteral("Time to Empty"),
                                                (onBattery || onUps) && !status.isCharging);
    return status;
}

} // namespace norvane
