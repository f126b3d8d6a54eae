#pragma once

#include "Configuration/MacConfiguration.h"
#include "KdeConfigFile.h"

#include <QJsonObject>

namespace norvane {

// KDE Plasma's idle settings, the user's own, in PowerDevil's and the screen locker's files.
// Pellor's power adapter is PowerDevil's profile "AC", its battery the profile "Battery"; the
// profile "LowBattery", which PowerDevil switches to when the battery runs low, is left as it is
// and read for the live status (lowBattery()).
//
// Plasma 5 (powermanagementprofilesrc): the display turns off after [<profile>][DPMSControl]
// idleTime seconds and the computer sleeps after [<profile>][SuspendSession] idleTime
// milliseconds, doing what suspendType says; a group that is not there never acts, so Never
// removes it, and a later time brings back the user's own group from before the first change.
// Plasma 6 (powerdevilrc): [<profile>][Display] TurnOffDisplayWhenIdle and
// TurnOffDisplayIdleTimeoutSec, [<profile>][SuspendAndShutdown] AutoSuspendAction (0 none) and
// AutoSuspendIdleTimeoutSec. The screen locker of both (kscreenlockerrc [Daemon]) locks after
// Timeout minutes while Autolock is on; Pellor's screen saver is that lock.
//
// PowerDevil also dims the screen: Plasma 5 from half of [<profile>][DimDisplay] idleTime
// (milliseconds), Plasma 6 after [<profile>][Display] DimDisplayIdleTimeoutSec while
// DimDisplayWhenIdle. With the display never turned off, the display minutes are those of the
// first dimming, so that "Never" means the screen stays lit; Never turns the dimming off too.
//
// Native values name each group Pellor owns ("powerdevilrc [AC][Display]"): for Plasma 5 the
// group's lines exactly, for the others its keys' raw values, null for what the file lacks; and
// each file ("kscreenlockerrc"): null when it is not there, else whether it ends with a line
// break. A restore puts back exactly those, so every other byte of the files stays as it was, an
// empty file stays and a file without a final line break gets none.
class KdeIdleSettings {
public:
    enum class Plasma { five = 5, six = 6 };

    // Reads the files of the Plasma this computer runs (detect()).
    KdeIdleSettings();
    // The settings a new user of the Plasma this computer runs has: Plasma 6's defaults, or the
    // profiles Plasma 5's PowerDevil writes when it finds none, and the screen locker's defaults.
    [[nodiscard]] static MacConfiguration defaults();

    // KDE_SESSION_VERSION when Plasma's session set it; else Plasma 6 once it has migrated the
    // settings (powermanagementprofilesrc [Migration]) or written its own groups; else Plasma 5
    // when its file is there; else the version whose kwriteconfig is installed.
    [[nodiscard]] static Plasma detect();
    // The file PowerDevil keeps the profiles in.
    [[nodiscard]] static QString profilesFile(Plasma plasma);

    [[nodiscard]] Plasma plasma() const { return m_plasma; }
    // The battery ("-b") and the power adapter ("-c"), the screen saver, and the native values.
    // Throws ConfigurationError when a value is not a number or a truth value.
    [[nodiscard]] MacConfiguration configuration() const;
    // The timers of Plasma 5's profile "LowBattery" when PowerDevil runs it on battery at
    // `percentage`: at or below powerdevilrc [BatteryManagement] BatteryLowLevel (10 by
    // default). None above it, and on Plasma 6. Throws ConfigurationError as configuration().
    [[nodiscard]] std::optional<PowerSourceConfiguration> lowBattery(qint64 percentage) const;
    // What a restore of `backup` leaves: its native values, the files' own for what it does not
    // name (a backup made before Pellor knew it), and the minutes those read as. Writes nothing.
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup);

    // Makes the settings `target`'s: its native values exactly when it carries them (a restore),
    // else its minutes, with a group or kind of sleep brought back from `original` (the backup's
    // native values) where the files no longer have one. Nothing is written when anything to be
    // changed is immutable (the management-policy message). Asks PowerDevil and the screen
    // locker to read their files again after writing them.
    void write(const MacConfiguration &target, const QJsonObject &original = {});

private:
    struct Source {
        QString flag;    // "-b", "-c"
        QString profile; // "Battery", "AC"
    };
    struct Change {
        KdeConfigFile *file;
        QStringList group;
        QString key; // empty: the whole group
    };

    KdeIdleSettings(Plasma plasma, KdeConfigFile profiles, KdeConfigFile locker);

    // The display-off timer's minutes, else the first dimming's; 0 when the screen stays lit.
    [[nodiscard]] qint64 displayMinutes(const QString &profile) const;
    [[nodiscard]] qint64 offMinutes(const QString &profile) const;
    [[nodiscard]] qint64 dimMinutes(const QString &profile) const;
    [[nodiscard]] qint64 sleepMinutes(const QString &profile) const;
    [[nodiscard]] qint64 screenSaverSeconds() const;
    [[nodiscard]] QJsonObject native() const;

    // What the backup holds for a Plasma 5 group (no key) or a Plasma 6 key, if it is of this
    // Plasma; empty otherwise.
    [[nodiscard]] QString saved(const QJsonObject &original, const QStringList &path,
                                const QString &key = {}) const;
    void applyMinutes(const MacConfiguration &target, const QJsonObject &original);
    void applyDisplay(const QString &profile, qint64 minutes, const QJsonObject &original);
    void setDisplayOff(const QString &profile, qint64 minutes, const QJsonObject &original);
    void stopDimming(const QString &profile);
    // The user's own dimming where it is off: the backup's, else PowerDevil's default.
    void resumeDimming(const QString &profile, const QJsonObject &original);
    void applyNative(const QJsonObject &native);
    // Whether the file is there and ends with a line break, as the backup's `saved` says.
    void restoreFile(KdeConfigFile &file, const QJsonValue &saved);
    void set(KdeConfigFile &file, const QStringList &path, const QString &key,
             const QString &value);
    void remove(KdeConfigFile &file, const QStringList &path, const QString &key);
    void removeGroup(KdeConfigFile &file, const QStringList &path);
    void insertGroup(KdeConfigFile &file, const QStringList &path, const QByteArray &text);
    // Throws the management-policy message when a change touches something immutable.
    void checkChanges() const;

    static const QList<Source> kSources;

    Plasma m_plasma;
    KdeConfigFile m_profiles;
    KdeConfigFile m_locker;
    QList<Change> m_changes;
};

} // namespace norvane
