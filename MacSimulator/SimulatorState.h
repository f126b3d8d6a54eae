#pragma once

// The simulated Mac that stands in for a real one on other systems: its state, and the logs
// that the stand-in `pmset` and `osascript` programs leave behind. Tests use this header to set
// the Mac up and to look at what happened; the two programs use it to do their work.
//
// Everything lives in one folder, the simulator's home: norvane::simulatorHome(), that is
// $NORVANE_SIM_HOME when set, else $XDG_STATE_HOME/norvane-sim, else ~/.local/state/norvane-sim.
//
//   state.json                 this SimulatorState, written atomically; missing = the factory
//   laptop invocations.log            one JSON object per line for every run of either program,
//   e.g.
//                              {"arguments":["-g","custom"],"privileged":false,"tool":"pmset"}
//                              (past 4 MiB it moves to invocations.log.1 and starts afresh)
//   notifications.log          one line per posted notification name
//   preferences/<domain>.json  the current host's preferences (norvane::SimulatedHostPreferences)
//
// A test typically does:
//
//   QTemporaryDir home;
//   qputenv("NORVANE_SIM_HOME", home.path().toUtf8());        // before any Platform::system()
//   auto state = sim::SimulatorState::load(home.path());      // the factory laptop on its adapter
//   state.policyLockedSettings = {"sleep"};                    // writes of "sleep" silently
//   ignored state.authorization = sim::Authorization::cancel;          // the user cancels the
//   dialog state.save(home.path());
//   ... run the code under test ...
//   const auto after = sim::SimulatorState::load(home.path());
//   EXPECT_EQ(after.adapter->number("sleep"), 1);
//   EXPECT_EQ(sim::invocations(home.path()).size(), 2);       // process runs, in order
//   EXPECT_EQ(sim::notifications(home.path()), QStringList{"com.apple.screensaver.didchange"});
//
// What the programs do with it:
//
//   pmset -g custom   every present source's section ("Battery Power:", "AC Power:", "UPS Power:")
//   pmset -g custom   (continued) the Low Power Mode setting is named after the model
//   pmset -g live     "System-wide power settings:" (with " SleepDisabled\t\t1" when
//                     sleepDisabled), then "Currently in use:" with the providing source's
//                     settings in the order a Mac prints them, Low Power Mode from lowPowerMode
//                     named after the model, " (sleep prevented by a, b)" after "sleep" from
//                     sleepPreventers and the system-sleep holders, " (display sleep prevented
//                     by c)" after "displaysleep" from the display-sleep holders
//   pmset -g assertions   the system-wide status (assertions, and every holder's type) and the
//                     holders "Listed by owning process:", in the Mac's layout
//   pmset -g batt     "Now drawing from '<providing>'" and a status line for the battery and for
//                     the UPS, from the same descriptions that norvane::SimulatedPowerSources
//                     gives the power-source seam (batteryStatus, upsStatus)
//   pmset -b|-c|-u|-a name value ...   writes; only accepted when run through the stand-in
//                     osascript (which sets NORVANE_SIM_AUTHORIZED=1 for its command), else
//                     "Error: pmset must be run as root." and exit status 1
//   osascript -e 'do shell script "<escaped>" with administrator privileges'
//                     asks the simulated user (authorization); on allow runs the command with
//                     /bin/sh -c, "/usr/bin/pmset" mapped to the stand-in pmset beside it. Errors
//                     go to standard error as "0:<length>: execution error: <message> (<number>)"
//                     with exit status 1: "User canceled." (-128); the failure message (1); the
//                     command's standard error, its lines separated by carriage returns as the
//                     Mac's osascript does (its exit status). A source of any other shape gives
//                     "0:<length>: syntax error: … (-2741)".
//
// A damaged state file makes both programs print the reason on standard error and exit with 1.

#include "Platform/Simulated/SimulatedMac.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace norvane::sim {

// The power sources of a Mac, with their pmset flags "-b", "-c", "-u" and their pmset names
// "Battery Power", "AC Power", "UPS Power".
enum class Source { battery, adapter, ups };

[[nodiscard]] QString flag(Source source);
[[nodiscard]] QString powerName(Source source);
[[nodiscard]] std::optional<Source> sourceForFlag(QStringView text);

// One source's pmset settings in the order pmset prints them. Values are text: most are whole
// numbers, some are paths ("hibernatefile" "/var/vm/sleepimage"), and some names hold blanks
// ("Sleep On Power Button").
struct PowerSettings {
    QList<std::pair<QString, QString>> entries;

    [[nodiscard]] std::optional<QString> value(const QString &name) const;
    // The value when it is a whole number.
    [[nodiscard]] std::optional<qint64> number(const QString &name) const;
    // Replaces the value in place, or appends a new setting.
    void set(const QString &name, const QString &value);
    void set(const QString &name, qint64 value) { set(name, QString::number(value)); }

    friend bool operator==(const PowerSettings &, const PowerSettings &) = default;
};

// Whether a setting's name or value prints as a line of `pmset -g custom` that reads back as
// exactly this text: not empty, no control or line-separator characters, no blanks at either end,
// and no ":" at the end (such a line reads as a section header). Writes and the state file refuse
// anything else.
[[nodiscard]] bool printsFaithfully(const QString &text);

// What pmset -g batt says about the internal battery.
// (The same for the UPS, and the power-source interface says the same: see SimulatedPower.)
using BatteryState = SimulatedBatteryState;
using BatteryStatus = SimulatedBatteryStatus;

// The kind of Mac. It decides how pmset prints Low Power Mode: "powermode" on Apple-silicon
// laptops (1 is Low Power), "lowpowermode" on Intel laptops, neither on desktops.
enum class MachineModel { appleSiliconLaptop, intelLaptop, desktop };

// A process that holds a power assertion, as pmset -g assertions lists it. Holders of
// "PreventUserIdleDisplaySleep" appear in pmset -g live's "(display sleep prevented by …)", of
// "PreventUserIdleSystemSleep" and "PreventSystemSleep" in its "(sleep prevented by …)"; every
// holder's type counts as held in the assertion status.
struct AssertionHolder {
    qint64 pid = 0;
    QString process;
    QString type = QStringLiteral("PreventUserIdleSystemSleep");
    QString name;
    int ageSeconds = 0;
    QStringList details; // the indented lines below the holder

    friend bool operator==(const AssertionHolder &, const AssertionHolder &) = default;
};

// The simulated user's answer to an administrator authorization request.
enum class Authorization { allow, cancel, fail };

// Makes privileged pmset writes fail: the message goes to standard error, the exit status is 1,
// and nothing is changed.
struct PrivilegedFailure {
    QString message;
    std::optional<Source> source; // only writes to this source fail; none: every write
    int times = -1;               // how many more writes fail before it clears itself; -1: all

    friend bool operator==(const PrivilegedFailure &, const PrivilegedFailure &) = default;
};

struct SimulatorState {
    MachineModel model = MachineModel::appleSiliconLaptop;
    std::optional<PowerSettings> battery; // present on a laptop
    std::optional<PowerSettings> adapter; // "AC Power"
    std::optional<PowerSettings> ups;
    Source providing = Source::adapter;
    BatteryStatus batteryStatus;                                       // with a battery
    BatteryStatus upsStatus{100, BatteryState::charged, std::nullopt}; // with a UPS
    bool lowPowerMode = false;
    bool sleepDisabled = false;  // system-wide, as after pmset disablesleep 1
    QStringList sleepPreventers; // process names, e.g. {"coreaudiod", "Music"}
    QList<AssertionHolder> assertionHolders;
    QMap<QString, qint64> assertions; // assertion type → holders, as IOPMCopyAssertionsStatus
    Authorization authorization = Authorization::allow;
    QString authorizationFailureMessage; // with Authorization::fail
    QStringList failingQueries;          // "custom", "live", "batt": that pmset -g query exits 1
    QStringList policyLockedSettings;    // settings that writes silently leave as they are
    std::optional<PrivilegedFailure> privilegedFailure;
    bool preferencesSynchronizeFails = false; // SimulatedHostPreferences::synchronize() fails
    bool assertionQueryFails = false;         // the assertion status query delivers nothing
    QStringList runningApplications;          // bundle identifiers, e.g. {"com.apple.Keynote"}

    // A laptop on its power adapter with a Mac's factory settings.
    [[nodiscard]] static SimulatorState laptop();
    // A desktop Mac (an Intel iMac): the power adapter only.
    [[nodiscard]] static SimulatorState desktop();
    // A Mac's factory settings for one source.
    [[nodiscard]] static PowerSettings factorySettings(Source source);

    // The state in `home`; the factory laptop when there is none. Throws norvane::PlatformError
    // when the state file is damaged.
    [[nodiscard]] static SimulatorState load(const QString &home);
    // Writes the state atomically, creating the folder when needed.
    void save(const QString &home) const;
    // Puts the factory laptop back.
    static void reset(const QString &home) { laptop().save(home); }

    [[nodiscard]] std::optional<PowerSettings> &settings(Source source);
    [[nodiscard]] const std::optional<PowerSettings> &settings(Source source) const;
    [[nodiscard]] QList<Source> presentSources() const; // in the order battery, adapter, UPS
    // The power sources as the power-source interface and pmset -g batt report them.
    [[nodiscard]] SimulatedPower power() const;
    // The name pmset gives the Low Power Mode setting on this model; none on a desktop.
    [[nodiscard]] std::optional<QString> lowPowerKey() const;
    // The processes pmset -g live names as preventing system sleep and display sleep.
    [[nodiscard]] QStringList systemSleepPreventers() const;
    [[nodiscard]] QStringList displaySleepPreventers() const;

    friend bool operator==(const SimulatorState &, const SimulatorState &) = default;
};

// One run of a stand-in program.
struct Invocation {
    QString tool; // "pmset" or "osascript"
    QStringList arguments;
    bool privileged = false; // run by the stand-in osascript's authorized command

    friend bool operator==(const Invocation &, const Invocation &) = default;
};

// Every run so far, oldest first; empty when there was none.
[[nodiscard]] QList<Invocation> invocations(const QString &home);
void recordInvocation(const QString &home, const Invocation &invocation);

// The names of the notifications posted so far, oldest first.
[[nodiscard]] QStringList notifications(const QString &home);

// Set to "1" by the stand-in osascript for the command it runs with administrator privileges.
inline constexpr char authorizedVariable[] = "NORVANE_SIM_AUTHORIZED";
[[nodiscard]] bool runsAuthorized();

} // namespace norvane::sim
