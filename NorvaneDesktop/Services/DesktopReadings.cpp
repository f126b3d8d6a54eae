#include "DesktopReadings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "PowerServices.h"
#include "Status/PowerStatus.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

QString sourceText(const std::optional<QString> &providing) {
    if (providing == u"AC Power")
        return L10n::text("Power adapter");
    if (providing == u"Battery Power")
        return L10n::text("Battery");
    if (providing == u"UPS Power")
        return u"UPS"_s;
    return L10n::text("Unavailable");
}

// The holders' processes as pmset's remarks list them ("Videos, Firefox").
std::optional<QString> processes(const PowerAssertions &holders,
                                 bool (PowerAssertion::*keeps)() const) {
    QStringList names;
    for (const PowerAssertion &holder : holders.holders)
        if ((holder.*keeps)() && !names.contains(holder.process))
            names << holder.process;
    return names.isEmpty() ? std::nullopt : std::optional(names.join(u", "_s));
}

} // namespace

SystemSettings readDesktopSettings(const std::function<MacConfiguration()> &idle,
                                   DesktopSession session, const LowBatteryTimers &lowBattery) {
    SystemSettings settings;
    settings.readAt = QDateTime::currentDateTime();
    const std::optional<PowerSourceSnapshot> power = UPowerSources().snapshot();
    settings.source = sourceText(power ? power->providingType : std::nullopt);
    try {
        const MacConfiguration configuration = idle();
        const bool onBattery = power && power->providingType != u"AC Power";
        const QString flag = onBattery ? u"-b"_s : u"-c"_s;
        for (const PowerSourceConfiguration &source : configuration.sources)
            if (source.flag == flag) {
                settings.displayMinutes = source.display;
                settings.sleepMinutes = source.sleep;
            }
        settings.screenSaverSeconds = configuration.screenSaverSeconds;
        const PowerStatus battery =
            power ? PowerStatus::parse(power->descriptions, power->providingType) : PowerStatus{};
        if (lowBattery && battery.source == PowerStatus::Source::battery && battery.percentage)
            if (const auto timers = lowBattery(*battery.percentage)) {
                settings.displayMinutes = timers->display;
                settings.sleepMinutes = timers->sleep;
                settings.lowBatteryTimers = true;
                settings.source = L10n::text("Battery (low-battery settings in effect)");
            }
    } catch (const ConfigurationError &error) {
        settings.error = error.errorDescription();
    }
    settings.lowPower = powerSaverActive();
    if (const std::optional<PowerAssertions> holders = readSleepHolders(session)) {
        settings.displaySleepPreventers = processes(*holders, &PowerAssertion::keepsDisplayOn);
        settings.sleepPreventers = processes(*holders, &PowerAssertion::keepsMacAwake);
        settings.displayAssertion = settings.displaySleepPreventers.has_value();
        settings.systemAssertion = settings.sleepPreventers.has_value();
    }
    return settings;
}

} // namespace norvane
