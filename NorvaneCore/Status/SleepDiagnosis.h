#pragma once

#include "PowerAssertions.h"
#include "SystemSettings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

// The answer to "Why isn't my Mac sleeping?", in plain localized words, from one live read
// (SystemSettings::read()) and, when they were read, the assertions (PowerAssertions::read()).
// Pure: build it on any thread; the settings window and `pellorctl diagnose` show it.
struct SleepDiagnosis {
    // Something that keeps the display on or the Mac awake.
    struct Holder {
        QString process; // "caffeinate"
        QString reason;  // the holder's own words ("caffeinate command-line tool"); may be empty

        friend bool operator==(const Holder &, const Holder &) = default;
        // "caffeinate: caffeinate command-line tool", or the process alone without a reason.
        [[nodiscard]] QString text() const;
    };

    QString display;              // when the display turns off, or why it never does
    QList<Holder> displayHolders; // what keeps the display on
    QString sleep;                // when the Mac sleeps, or why it never does
    QList<Holder> sleepHolders;   // what keeps the Mac awake (display holders included)
    QString lowPower;             // whether Low Power Mode is on

    friend bool operator==(const SleepDiagnosis &, const SleepDiagnosis &) = default;

    // Holders come from the assertions when they were read, else from the names in pmset's
    // "(sleep prevented by …)" and "(display sleep prevented by …)" remarks, without reasons.
    [[nodiscard]] static SleepDiagnosis make(const SystemSettings &settings,
                                             const std::optional<PowerAssertions> &assertions);

    // Every sentence in reading order, holders indented by two blanks under their sentence.
    [[nodiscard]] QStringList lines() const;
};

// What the caller knows about the applied profile, for the report.
struct ReportSession {
    QString profileName;             // empty: no profile applied (the Mac uses its own settings)
    std::optional<QString> timeLeft; // "24:59" for a timed profile
};

// The plain-text report of Copy Report, for pasting into a support forum: Pellor's version, the
// time of the read, the applied profile, the live values with where each comes from, the
// assertions and who holds them, and the diagnosis. Localized labels; technical names (pmset
// keys, assertion types, process names) stay as the Mac prints them. Ends with a newline.
[[nodiscard]] QString sleepReport(const SystemSettings &settings,
                                  const std::optional<PowerAssertions> &assertions,
                                  const ReportSession &session);

// Pellor's version as the build sets it, e.g. "1.2".
[[nodiscard]] QString pellorVersion();

} // namespace norvane
