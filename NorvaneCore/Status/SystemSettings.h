#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

struct Platform;

// A read-only snapshot of the Mac's live power and idle state. Every piece that cannot be read
// stays empty; a snapshot is always produced.
struct SystemSettings {
    std::optional<qint64> displayMinutes;
    std::optional<qint64> sleepMinutes;
    // Low Power Mode: "lowpowermode" when printed, else "powermode" (1 Low Power; 0 automatic and
    // 2 High Power are off); empty when neither is printed, as on desktops.
    std::optional<bool> lowPower;
    std::optional<qint64> screenSaverSeconds;
    // "Power adapter", "Battery", "UPS" or "Unavailable", localized; with lowBatteryTimers,
    // "Battery (low-battery settings in effect)".
    QString source;
    // The timers are those of the desktop's own low-battery settings (KDE's profile "LowBattery"),
    // which run instead of the battery's and which Pellor does not change.
    bool lowBatteryTimers = false;
    std::optional<QString> sleepPreventers;        // inside "(sleep prevented by …)"
    std::optional<QString> displaySleepPreventers; // inside "(display sleep prevented by …)"
    // "SleepDisabled" of the "System-wide power settings:" block: when set, the Mac never sleeps
    // on idle whatever "sleep" says. False when the block does not set it, empty without the block.
    std::optional<bool> sleepDisabled;
    std::optional<bool> displayAssertion;
    std::optional<bool> systemAssertion;
    QDateTime readAt;
    std::optional<QString> error;

    // Reads everything in turn: pmset -g live, pmset -g batt (the power sources when it fails),
    // the assertion status and the screen-saver idle time. Blocks while the two pmset runs last;
    // never fails.
    [[nodiscard]] static SystemSettings read();
    [[nodiscard]] static SystemSettings read(const Platform &platform);

    // The "name value" lines of a pmset query: the first word of each line mapped to its second
    // word when that is a base-10 64-bit integer; later lines replace earlier ones.
    [[nodiscard]] static QHash<QString, qint64> parse(const QString &text);

    // The localized text for an idle timer in minutes.
    [[nodiscard]] static QString duration(std::optional<qint64> minutes);

    // Fills the timers, Low Power Mode, SleepDisabled and the two preventer texts from the output
    // of pmset -g live.
    static void readLive(SystemSettings &settings, const QString &output);
    // Fills `source` from the output of pmset -g batt; leaves it when no known source is named.
    static void readBattery(SystemSettings &settings, const QString &output);

private:
    // The standard output of pmset run with `arguments`; throws when it cannot start or exits
    // with a status other than 0.
    static QString command(const Platform &platform, const QStringList &arguments);
    // Fills `source` from the power sources' providing type; false when it stays unavailable.
    static bool readProvidingSource(SystemSettings &settings, const Platform &platform);
    static void readAssertions(SystemSettings &settings, const Platform &platform);
    static void readScreenSaver(SystemSettings &settings, const Platform &platform);
};

} // namespace norvane
