#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace norvane {

struct Platform;

// One power assertion as `pmset -g assertions` lists it under "Listed by owning process:":
//
//    pid 98217(caffeinate): [0x00045477000194b3] 00:00:03 PreventUserIdleSystemSleep named:
//    "caffeinate command-line tool"
//         Details: caffeinate asserting for 1600 secs
//         Timeout will fire in 1597 secs Action=TimeoutActionRelease
struct PowerAssertion {
    qint64 pid = 0;
    QString process;     // as printed; may hold blanks and brackets ("Google Chrome Helper (GPU)")
    QString type;        // "PreventUserIdleSystemSleep", "PreventUserIdleDisplaySleep", …
    QString age;         // "00:00:03" (hours:minutes:seconds); empty when not printed
    QString name;        // the holder's own reason, without the quotes
    QStringList details; // the indented lines below it, trimmed

    friend bool operator==(const PowerAssertion &, const PowerAssertion &) = default;

    // Whether this assertion keeps the display on, or keeps the Mac from sleeping on idle (a
    // display kept on also keeps the Mac awake).
    [[nodiscard]] bool keepsDisplayOn() const;
    [[nodiscard]] bool keepsMacAwake() const;
};

// The output of `pmset -g assertions`: the system-wide counts and who holds what.
struct PowerAssertions {
    // "Assertion status system-wide:" in printed order: type → number of holders.
    QList<std::pair<QString, qint64>> systemWide;
    QList<PowerAssertion> holders; // "Listed by owning process:", in printed order

    friend bool operator==(const PowerAssertions &, const PowerAssertions &) = default;

    // Reads the text as printed. Unknown blocks (kernel assertions, idle sleep preventers) and
    // lines of an unknown shape are skipped; never fails.
    [[nodiscard]] static PowerAssertions parse(const QString &text);

    // Runs `pmset -g assertions` (one process run; call it off the main thread). None when pmset
    // cannot be run or fails.
    [[nodiscard]] static std::optional<PowerAssertions> read();
    [[nodiscard]] static std::optional<PowerAssertions> read(const Platform &platform);
};

} // namespace norvane
