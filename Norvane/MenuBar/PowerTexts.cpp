#include "PowerTexts.h"

#include "Localization/L10n.h"

namespace norvane::PowerTexts {

namespace {

using Source = PowerStatus::Source;

int chargeLevel(qint64 percentage) {
    if (percentage < 13)
        return 0;
    if (percentage < 38)
        return 25;
    if (percentage < 63)
        return 50;
    if (percentage < 88)
        return 75;
    return 100;
}

} // namespace

QString symbol(const PowerStatus &power) {
    if (!power.hasBattery && power.source == Source::adapter)
        return QStringLiteral("powerplug.fill");
    if (power.isCharging)
        return QStringLiteral("battery.100percent.bolt");
    if (!power.percentage)
        return QStringLiteral("battery.0percent");
    return QStringLiteral("battery.%1percent").arg(chargeLevel(*power.percentage));
}

QString title(const PowerStatus &power) {
    if (power.percentage) {
        const QString name =
            power.source == Source::ups ? QStringLiteral("UPS") : L10n::text("Battery");
        return name + QStringLiteral(" · ") + QString::number(*power.percentage) + u'%';
    }
    if (power.source == Source::adapter)
        return L10n::text("External power");
    return power.hasBattery ? L10n::text("Battery") : L10n::text("Power status");
}

QString detail(const PowerStatus &power, const QString &language) {
    if (power.isCharging && power.minutesToFull)
        return L10n::text(
            {"Charging · About {0} min until full", {QString::number(*power.minutesToFull)}},
            language);
    if (power.isCharging)
        return L10n::text("Charging", language);
    if (power.isCharged && power.source == Source::adapter)
        return L10n::text("Fully charged · Plugged in", language);
    if (power.source == Source::adapter)
        return L10n::text("Plugged in", language);
    if (power.minutesRemaining) {
        const qint64 hours = *power.minutesRemaining / 60;
        const qint64 minutes = *power.minutesRemaining - 60 * hours;
        return L10n::text(
            {"About {0} hr {1} min remaining", {QString::number(hours), QString::number(minutes)}},
            language);
    }
    if (power.source == Source::battery)
        return L10n::text("Running on battery", language);
    if (power.source == Source::ups)
        return L10n::text("UPS power", language);
    return L10n::text("Power information is currently unavailable", language);
}

bool isLow(const PowerStatus &power) {
    return power.percentage && *power.percentage < 21 && !power.isCharging;
}

} // namespace norvane::PowerTexts
