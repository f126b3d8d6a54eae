#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTime>

namespace norvane {

// What a rule waits for: a power source, a low battery, a time of the week, an application, or an
// external display.
struct Condition {
    enum class Kind { battery, adapter, ups, batteryBelow, schedule, application, externalDisplay };

    Kind kind = Kind::battery;
    int percent = 0;     // batteryBelow: holds at or below it, 1 to 99
    QList<int> days;     // schedule: the days a window starts on, 1 (Monday) to 7, ascending
    QTime start;         // schedule: local time, whole minutes
    QTime end;           // schedule: may be earlier than start (the window crosses midnight)
    QString application; // application: an executable name, a desktop-file id or a bundle id

    friend bool operator==(const Condition &, const Condition &) = default;

    // A low battery outranks every other rule: nothing may keep the display on while it runs out.
    [[nodiscard]] bool isSafety() const { return kind == Kind::batteryBelow; }
    // "On battery", "Battery at or below 20 %", "Weekdays 09:00–17:30", "While firefox runs",
    // "While an external display is connected".
    [[nodiscard]] QString description() const;
};

// While its condition holds, use a profile; when it stops holding, go back to what was in effect
// before. Also the content of the rules file, so the JSON keys are a stored format.
struct Rule {
    QString id; // a UUID, stable across reordering
    Condition when;
    QString profileId;
    bool enabled = true;

    friend bool operator==(const Rule &, const Rule &) = default;

    // The rule itself, or a ConfigurationError saying what makes it impossible (a battery level
    // of 0 or 100, a schedule without days, an end equal to its start, no application, no
    // profile).
    [[nodiscard]] Rule validated() const;
    // "On battery, use Battery Saver".
    [[nodiscard]] QString sentence(const QString &profileTitle) const;

    [[nodiscard]] QJsonObject toJson() const;
    // Throws PlatformError on a missing key or a wrong type; unknown keys are ignored.
    static Rule fromJson(const QJsonObject &object);
};

} // namespace norvane
