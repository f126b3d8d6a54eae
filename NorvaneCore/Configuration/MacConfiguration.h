#pragma once

#include "Profiles/Profile.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace norvane {

// The display-sleep and system-sleep minutes of one power source.
struct PowerSourceConfiguration {
    QString flag; // the pmset selector: "-b" battery, "-c" power adapter, "-u" UPS
    qint64 display = 0;
    qint64 sleep = 0;

    friend bool operator==(const PowerSourceConfiguration &,
                           const PowerSourceConfiguration &) = default;

    [[nodiscard]] QJsonObject toJson() const;
    static PowerSourceConfiguration fromJson(const QJsonObject &object);
};

// Everything a profile controls on the system: the power settings of every power source, in the
// order "-b", "-c", "-u" as read, and the screen-saver idle time (none when nothing is stored).
// Also the content of the original-settings backup, so the JSON keys are a stored format.
struct MacConfiguration {
    QList<PowerSourceConfiguration> sources;
    std::optional<qint64> screenSaverSeconds;
    // The settings exactly as a system holds them where its units are finer than whole minutes or
    // it keeps more than the minutes (the action taken on idle), so that a restore writes back
    // every value as it was. Empty on a Mac, whose settings are the minutes themselves.
    QJsonObject native;

    // Exact equality: same sources in the same order, same screen saver or both empty, and the
    // same native values where both sides carry them. The transaction relies on it to decide
    // whether anything changed and whether a write took.
    friend bool operator==(const MacConfiguration &a, const MacConfiguration &b) {
        return a.sources == b.sources && a.screenSaverSeconds == b.screenSaverSeconds &&
               (a.native.isEmpty() || b.native.isEmpty() || a.native == b.native);
    }

    // The configuration `profile` asks for: these sources with the profile's minutes, and the
    // profile's screen saver, always present.
    [[nodiscard]] MacConfiguration applying(const Profile &profile) const;

    // The shell command line that writes the power settings, one pmset run per source joined
    // with " && ". Throws ConfigurationError before building anything unsafe.
    [[nodiscard]] QString privilegedCommand() const;
    // Throws what privilegedCommand() throws for unusable power settings, and the screen saver's
    // range message for one outside 0 to 86400 seconds: the checks a stored configuration passes
    // as a whole before any of it is written back.
    void validate() const;

    // The settings in words, for a message: "Battery: display 10 min, sleep Never; …".
    [[nodiscard]] QString description() const;
    // A Mac's factory settings for the power source with this flag: the display sleeps after 2
    // minutes on battery and 10 on power, the computer after 1.
    [[nodiscard]] static PowerSourceConfiguration factorySettings(const QString &flag);
    // The name of the power source with this flag ("Battery", "Power adapter", "UPS power").
    [[nodiscard]] static QString sourceName(const QString &flag);

    // Reads every source's settings from the output of `pmset -g custom`, in the order "-b",
    // "-c", "-u". Throws ConfigurationError on incomplete or missing sections.
    static QList<PowerSourceConfiguration> parsePowerSources(const QString &output);

    [[nodiscard]] QJsonObject toJson() const;
    // Throws PlatformError on a missing required key or a wrong type; unknown keys are ignored.
    static MacConfiguration fromJson(const QJsonObject &object);
};

} // namespace norvane
