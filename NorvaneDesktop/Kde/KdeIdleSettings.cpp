#include "KdeIdleSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Services/DBusCalls.h"

#include <QStandardPaths>
#include <algorithm>
#include <tuple>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kMaxMinutes = 1440;

const QString kPlasma5File = u"powermanagementprofilesrc"_s;
const QString kPlasma6File = u"powerdevilrc"_s;
const QString kLockerFile = u"kscreenlockerrc"_s;
const QStringList kLockerGroup{u"Daemon"_s};
const QStringList kProfiles{u"AC"_s, u"Battery"_s, u"LowBattery"_s};

// Plasma 5's kinds of idle action that sleep or end the session: to RAM, to disk, hybrid, shut
// down. Others (lock the screen, turn it off) leave the computer running.
const QStringList kSleepingSuspendTypes{u"1"_s, u"2"_s, u"4"_s, u"8"_s};

QStringList group(const QString &profile, const QString &section) {
    return {profile, section};
}

// "powerdevilrc [AC][Display]": how native values name a group.
QString nativeName(const QString &file, const QStringList &path) {
    QString name = file + u' ';
    for (const QString &part : path)
        name += u'[' + part + u']';
    return name;
}

// Idle seconds as Pellor's whole minutes, rounded up and at most a day; a negative time never acts.
qint64 minutesOf(qint64 seconds) {
    return seconds < 0 ? 0 : std::clamp<qint64>((seconds + 59) / 60, 1, kMaxMinutes);
}

[[noreturn]] void unreadable(const KdeConfigFile &file, const QStringList &path,
                             const QString &key) {
    throw ConfigurationError::message(
        L10n::text({"Pellor cannot read “{0}” in “{1}”.", {key, nativeName(file.name(), path)}}));
}

qint64 number(const KdeConfigFile &file, const QStringList &path, const QString &key,
              qint64 fallback) {
    const std::optional<QString> text = file.value(path, key);
    if (!text)
        return fallback;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    if (!ok || file.isExpanded(path, key))
        unreadable(file, path, key);
    return value;
}

// KConfig's truth values: true, on, yes or a number other than 0; false, off, no or 0.
bool truth(const KdeConfigFile &file, const QStringList &path, const QString &key, bool fallback) {
    const std::optional<QString> text = file.value(path, key);
    if (!text)
        return fallback;
    const QString lower = text->toLower();
    bool numeric = false;
    const qint64 value = lower.toLongLong(&numeric);
    if (numeric)
        return value != 0;
    if (lower == u"true" || lower == u"on" || lower == u"yes")
        return true;
    if (lower == u"false" || lower == u"off" || lower == u"no")
        return false;
    unreadable(file, path, key);
}

// PowerDevil's defaults, which hold where a file does not set a key: Plasma 6's (and Plasma 5's
// for a group that is there without its time). The screen locker locks after 5 minutes.
qint64 defaultDisplaySeconds(const QString &profile) {
    return profile == u"AC" ? 600 : profile == u"LowBattery" ? 120 : 300;
}
qint64 defaultDimSeconds(const QString &profile) {
    return profile == u"AC" ? 300 : profile == u"LowBattery" ? 60 : 120;
}
qint64 defaultSleepSeconds(KdeIdleSettings::Plasma plasma, const QString &profile) {
    if (plasma == KdeIdleSettings::Plasma::five)
        return profile == u"AC" ? 600 : 300;
    return profile == u"AC" ? 900 : 600;
}
constexpr qint64 kDefaultLockMinutes = 5;
// PowerDevil runs the profile "LowBattery" on battery at or below this charge (per cent).
constexpr qint64 kDefaultBatteryLowLevel = 10;

// Plasma 6's groups and the keys Pellor owns in each, and the screen locker's.
struct KeyGroup {
    QStringList path;
    QStringList keys;
};
QList<KeyGroup> plasma6Groups() {
    QList<KeyGroup> groups;
    for (const QString &profile : {u"AC"_s, u"Battery"_s}) {
        groups << KeyGroup{group(profile, u"Display"_s),
                           {u"TurnOffDisplayWhenIdle"_s, u"TurnOffDisplayIdleTimeoutSec"_s,
                            u"DimDisplayWhenIdle"_s, u"DimDisplayIdleTimeoutSec"_s}};
        groups << KeyGroup{group(profile, u"SuspendAndShutdown"_s),
                           {u"AutoSuspendAction"_s, u"AutoSuspendIdleTimeoutSec"_s}};
    }
    return groups;
}
const KeyGroup kLockerKeys{kLockerGroup, {u"Autolock"_s, u"Timeout"_s}};

QList<QStringList> plasma5Groups() {
    QList<QStringList> groups;
    for (const QString &profile : {u"AC"_s, u"Battery"_s})
        groups << group(profile, u"DPMSControl"_s) << group(profile, u"DimDisplay"_s)
               << group(profile, u"SuspendSession"_s);
    return groups;
}

} // namespace

const QList<KdeIdleSettings::Source> KdeIdleSettings::kSources{{u"-b"_s, u"Battery"_s},
                                                               {u"-c"_s, u"AC"_s}};

KdeIdleSettings::KdeIdleSettings()
    : m_plasma(detect()), m_profiles(profilesFile(m_plasma)), m_locker(kLockerFile) {}

KdeIdleSettings::KdeIdleSettings(Plasma plasma, KdeConfigFile profiles, KdeConfigFile locker)
    : m_plasma(plasma), m_profiles(std::move(profiles)), m_locker(std::move(locker)) {}

MacConfiguration KdeIdleSettings::defaults() {
    const Plasma plasma = detect();
    KdeIdleSettings settings(plasma, KdeConfigFile::none(profilesFile(plasma)),
                             KdeConfigFile::none(kLockerFile));
    if (plasma == Plasma::five)
        // What Plasma 5's PowerDevil writes for a desktop computer or laptop when it finds no
        // profiles (its ProfileGenerator).
        for (const auto &[profile, dim, off, suspend] :
             {std::tuple{u"AC"_s, 300, 600, 900}, std::tuple{u"Battery"_s, 120, 300, 600}}) {
            KConfigText &text = settings.m_profiles.user();
            text.setValue(group(profile, u"DimDisplay"_s), u"idleTime"_s,
                          QString::number(dim * 1000));
            text.setValue(group(profile, u"DPMSControl"_s), u"idleTime"_s, QString::number(off));
            text.setValue(group(profile, u"DPMSControl"_s), u"lockBeforeTurnOff"_s, u"0"_s);
            text.setValue(group(profile, u"SuspendSession"_s), u"idleTime"_s,
                          QString::number(suspend * 1000));
            text.setValue(group(profile, u"SuspendSession"_s), u"suspendType"_s, u"1"_s);
        }
    return settings.configuration();
}

KdeIdleSettings::Plasma KdeIdleSettings::detect() {
    const QByteArray session = qgetenv("KDE_SESSION_VERSION");
    if (session == "6")
        return Plasma::six;
    if (session == "5")
        return Plasma::five;
    const KdeConfigFile plasma5(kPlasma5File);
    if (plasma5.value({u"Migration"_s}, u"MigratedProfilesToPlasma6"_s))
        return Plasma::six;
    const KdeConfigFile plasma6(kPlasma6File);
    for (const QString &profile : kProfiles)
        if (plasma6.hasGroup(group(profile, u"Display"_s)) ||
            plasma6.hasGroup(group(profile, u"SuspendAndShutdown"_s)))
            return Plasma::six;
    if (plasma5.exists())
        return Plasma::five;
    return QStandardPaths::findExecutable(u"kwriteconfig6"_s).isEmpty() ? Plasma::five
                                                                        : Plasma::six;
}

QString KdeIdleSettings::profilesFile(Plasma plasma) {
    return plasma == Plasma::five ? kPlasma5File : kPlasma6File;
}

qint64 KdeIdleSettings::displayMinutes(const QString &profile) const {
    const qint64 off = offMinutes(profile);
    return off != 0 ? off : dimMinutes(profile);
}

qint64 KdeIdleSettings::offMinutes(const QString &profile) const {
    if (m_plasma == Plasma::five) {
        const QStringList dpms = group(profile, u"DPMSControl"_s);
        if (!m_profiles.hasGroup(dpms))
            return 0;
        const qint64 seconds =
            number(m_profiles, dpms, u"idleTime"_s, defaultDisplaySeconds(profile));
        return seconds <= 0 ? 0 : minutesOf(seconds);
    }
    const QStringList display = group(profile, u"Display"_s);
    if (!truth(m_profiles, display, u"TurnOffDisplayWhenIdle"_s, true))
        return 0;
    return minutesOf(number(m_profiles, display, u"TurnOffDisplayIdleTimeoutSec"_s,
                            defaultDisplaySeconds(profile)));
}

qint64 KdeIdleSettings::dimMinutes(const QString &profile) const {
    if (m_plasma == Plasma::five) {
        // PowerDevil 5 halves the brightness at half of idleTime (milliseconds), darkens it
        // further at three quarters and turns the backlight off at idleTime.
        const qint64 milliseconds =
            number(m_profiles, group(profile, u"DimDisplay"_s), u"idleTime"_s, 0);
        return milliseconds <= 0 ? 0 : minutesOf((milliseconds / 2 + 999) / 1000);
    }
    const QStringList display = group(profile, u"Display"_s);
    if (!truth(m_profiles, display, u"DimDisplayWhenIdle"_s, true))
        return 0;
    const qint64 seconds =
        number(m_profiles, display, u"DimDisplayIdleTimeoutSec"_s, defaultDimSeconds(profile));
    return seconds <= 0 ? 0 : minutesOf(seconds);
}

qint64 KdeIdleSettings::sleepMinutes(const QString &profile) const {
    const qint64 fallback = defaultSleepSeconds(m_plasma, profile);
    if (m_plasma == Plasma::five) {
        const QStringList suspend = group(profile, u"SuspendSession"_s);
        if (!m_profiles.hasGroup(suspend))
            return 0;
        const qint64 type = number(m_profiles, suspend, u"suspendType"_s, 1);
        if (!kSleepingSuspendTypes.contains(QString::number(type)))
            return 0;
        const qint64 milliseconds = number(m_profiles, suspend, u"idleTime"_s, fallback * 1000);
        return milliseconds <= 0 ? 0 : minutesOf((milliseconds + 999) / 1000);
    }
    const QStringList suspend = group(profile, u"SuspendAndShutdown"_s);
    if (number(m_profiles, suspend, u"AutoSuspendAction"_s, 1) == 0)
        return 0;
    return minutesOf(number(m_profiles, suspend, u"AutoSuspendIdleTimeoutSec"_s, fallback));
}

qint64 KdeIdleSettings::screenSaverSeconds() const {
    if (!truth(m_locker, kLockerGroup, u"Autolock"_s, true))
        return 0;
    return std::clamp<qint64>(number(m_locker, kLockerGroup, u"Timeout"_s, kDefaultLockMinutes), 1,
                              kMaxMinutes) *
           60;
}

QJsonObject KdeIdleSettings::native() const {
    QJsonObject values{{u"plasma"_s, int(m_plasma)}};
    const auto keyGroup = [&](const KdeConfigFile &file, const KeyGroup &owned) {
        if (file.user().groupText(owned.path).isEmpty())
            return values.insert(nativeName(file.name(), owned.path), QJsonValue::Null);
        QJsonObject keys;
        for (const QString &key : owned.keys) {
            const std::optional<QString> value = file.user().value(owned.path, key);
            keys.insert(key, value ? QJsonValue(*value) : QJsonValue::Null);
        }
        return values.insert(nativeName(file.name(), owned.path), keys);
    };
    if (m_plasma == Plasma::five) {
        for (const QStringList &path : plasma5Groups()) {
            const QByteArray text = m_profiles.user().groupText(path);
            values.insert(nativeName(m_profiles.name(), path),
                          text.isEmpty() ? QJsonValue::Null : QJsonValue(QString::fromUtf8(text)));
        }
    } else {
        for (const KeyGroup &owned : plasma6Groups())
            keyGroup(m_profiles, owned);
    }
    keyGroup(m_locker, kLockerKeys);
    for (const KdeConfigFile *file : {&m_profiles, &m_locker})
        values.insert(
            file->name(),
            file->isPresent()
                ? QJsonValue(QJsonObject{{u"finalLineBreak"_s, file->user().endsWithLineBreak()}})
                : QJsonValue::Null);
    return values;
}

MacConfiguration KdeIdleSettings::configuration() const {
    MacConfiguration configuration;
    for (const Source &source : kSources)
        configuration.sources << PowerSourceConfiguration{
            source.flag, displayMinutes(source.profile), sleepMinutes(source.profile)};
    configuration.screenSaverSeconds = screenSaverSeconds();
    configuration.native = native();
    return configuration;
}

std::optional<PowerSourceConfiguration> KdeIdleSettings::lowBattery(qint64 percentage) const {
    if (m_plasma != Plasma::five)
        return std::nullopt;
    // PowerDevil's own settings, in powerdevilrc on Plasma 5 too.
    const KdeConfigFile settings(kPlasma6File);
    if (percentage >
        number(settings, {u"BatteryManagement"_s}, u"BatteryLowLevel"_s, kDefaultBatteryLowLevel))
        return std::nullopt;
    const QString profile = u"LowBattery"_s;
    return PowerSourceConfiguration{u"-b"_s, displayMinutes(profile), sleepMinutes(profile)};
}

MacConfiguration KdeIdleSettings::restoring(const MacConfiguration &backup) {
    if (backup.native.isEmpty())
        return backup;
    applyNative(backup.native);
    m_changes.clear();
    return configuration();
}

void KdeIdleSettings::write(const MacConfiguration &target, const QJsonObject &original) {
    m_changes.clear();
    if (target.native.isEmpty())
        applyMinutes(target, original);
    else
        applyNative(target.native);
    checkChanges();
    const bool profiles = m_profiles.isChanged();
    const bool locker = m_locker.isChanged();
    if (profiles)
        m_profiles.save();
    if (locker)
        m_locker.save();
    // Without these services (Plasma not running) the files take effect when they start.
    if (profiles)
        (void)dbus::notify({QDBusConnection::SessionBus, u"org.kde.Solid.PowerManagement"_s,
                            u"/org/kde/Solid/PowerManagement"_s},
                           u"org.kde.Solid.PowerManagement"_s, u"refreshStatus"_s);
    if (locker)
        (void)dbus::notify(
            {QDBusConnection::SessionBus, u"org.kde.screensaver"_s, u"/ScreenSaver"_s},
            u"org.kde.screensaver"_s, u"configure"_s);
}

QString KdeIdleSettings::saved(const QJsonObject &original, const QStringList &path,
                               const QString &key) const {
    if (original.value(u"plasma"_s).toInt() != int(m_plasma))
        return {};
    const QJsonValue value = original.value(nativeName(m_profiles.name(), path));
    return key.isEmpty() ? value.toString() : value.toObject().value(key).toString();
}

void KdeIdleSettings::applyMinutes(const MacConfiguration &target, const QJsonObject &original) {
    for (const PowerSourceConfiguration &wanted : target.sources) {
        const auto source = std::find_if(kSources.cbegin(), kSources.cend(),
                                         [&](const Source &s) { return s.flag == wanted.flag; });
        if (source == kSources.cend() || wanted.display < 0 || wanted.display > kMaxMinutes ||
            wanted.sleep < 0 || wanted.sleep > kMaxMinutes)
            throw ConfigurationError::message(
                L10n::text("Settings are outside the supported range. No command was run."));
        const QString &profile = source->profile;
        applyDisplay(profile, wanted.display, original);
        if (wanted.sleep != sleepMinutes(profile)) {
            const QString seconds = QString::number(wanted.sleep * 60);
            if (m_plasma == Plasma::five) {
                const QStringList suspend = group(profile, u"SuspendSession"_s);
                if (wanted.sleep == 0) {
                    removeGroup(m_profiles, suspend);
                } else {
                    if (m_profiles.user().groupText(suspend).isEmpty())
                        insertGroup(m_profiles, suspend, saved(original, suspend).toUtf8());
                    set(m_profiles, suspend, u"idleTime"_s, QString::number(wanted.sleep * 60000));
                    // The user's own kind of sleep where it sleeps, else sleep (to RAM).
                    if (!kSleepingSuspendTypes.contains(
                            m_profiles.value(suspend, u"suspendType"_s).value_or(u"1"_s)))
                        set(m_profiles, suspend, u"suspendType"_s, u"1"_s);
                }
            } else {
                const QStringList suspend = group(profile, u"SuspendAndShutdown"_s);
                if (wanted.sleep == 0) {
                    set(m_profiles, suspend, u"AutoSuspendAction"_s, u"0"_s);
                } else {
                    // The user's own kind of sleep from the backup, else PowerDevil's default
                    // where the file allows, else sleep.
                    const QString action = u"AutoSuspendAction"_s;
                    if (number(m_profiles, suspend, action, 1) == 0) {
                        const QString own = saved(original, suspend, action);
                        if (own.isEmpty() || own == u"0")
                            remove(m_profiles, suspend, action);
                        else
                            set(m_profiles, suspend, action, own);
                        if (number(m_profiles, suspend, action, 1) == 0)
                            set(m_profiles, suspend, action, u"1"_s);
                    }
                    set(m_profiles, suspend, u"AutoSuspendIdleTimeoutSec"_s, seconds);
                }
            }
        }
    }
    if (target.screenSaverSeconds && *target.screenSaverSeconds != screenSaverSeconds()) {
        const qint64 seconds = *target.screenSaverSeconds;
        if (seconds < 0 || seconds > kMaxMinutes * 60)
            throw ConfigurationError::message(
                L10n::text("The screen saver timeout is outside the supported range."));
        set(m_locker, kLockerGroup, u"Autolock"_s, seconds == 0 ? u"false"_s : u"true"_s);
        if (seconds != 0)
            set(m_locker, kLockerGroup, u"Timeout"_s, QString::number((seconds + 59) / 60));
    }
}

void KdeIdleSettings::applyDisplay(const QString &profile, qint64 minutes,
                                   const QJsonObject &original) {
    const qint64 off = offMinutes(profile);
    if (minutes != off)
        setDisplayOff(profile, minutes, original);
    // Never keeps the screen lit; a time after Never brings the dimming back. A time after a
    // time leaves it as it is.
    if (minutes == 0)
        stopDimming(profile);
    else if (off == 0)
        resumeDimming(profile, original);
}

void KdeIdleSettings::setDisplayOff(const QString &profile, qint64 minutes,
                                    const QJsonObject &original) {
    const QString seconds = QString::number(minutes * 60);
    if (m_plasma == Plasma::five) {
        const QStringList dpms = group(profile, u"DPMSControl"_s);
        if (minutes == 0) {
            removeGroup(m_profiles, dpms);
        } else {
            if (m_profiles.user().groupText(dpms).isEmpty())
                insertGroup(m_profiles, dpms, saved(original, dpms).toUtf8());
            set(m_profiles, dpms, u"idleTime"_s, seconds);
        }
        return;
    }
    const QStringList display = group(profile, u"Display"_s);
    const QString enabled = u"TurnOffDisplayWhenIdle"_s;
    if (minutes == 0) {
        set(m_profiles, display, enabled, u"false"_s);
    } else {
        // Back to PowerDevil's default (on) where the file allows, else on.
        if (!truth(m_profiles, display, enabled, true))
            remove(m_profiles, display, enabled);
        if (!truth(m_profiles, display, enabled, true))
            set(m_profiles, display, enabled, u"true"_s);
        set(m_profiles, display, u"TurnOffDisplayIdleTimeoutSec"_s, seconds);
    }
}

void KdeIdleSettings::stopDimming(const QString &profile) {
    if (m_plasma == Plasma::five)
        removeGroup(m_profiles, group(profile, u"DimDisplay"_s));
    else if (dimMinutes(profile) != 0)
        set(m_profiles, group(profile, u"Display"_s), u"DimDisplayWhenIdle"_s, u"false"_s);
}

void KdeIdleSettings::resumeDimming(const QString &profile, const QJsonObject &original) {
    if (m_plasma == Plasma::five) {
        const QStringList dim = group(profile, u"DimDisplay"_s);
        if (m_profiles.user().groupText(dim).isEmpty())
            insertGroup(m_profiles, dim, saved(original, dim).toUtf8());
        return;
    }
    // The user's own switch from the backup, else PowerDevil's default (on).
    const QStringList display = group(profile, u"Display"_s);
    const QString enabled = u"DimDisplayWhenIdle"_s;
    if (truth(m_profiles, display, enabled, true))
        return;
    if (const QString own = saved(original, display, enabled); own.isEmpty())
        remove(m_profiles, display, enabled);
    else
        set(m_profiles, display, enabled, own);
}

void KdeIdleSettings::applyNative(const QJsonObject &native) {
    const int plasma = native.value(u"plasma"_s).toInt();
    if (plasma != int(m_plasma))
        throw ConfigurationError::message(L10n::text(
            {"The original settings were saved under Plasma {0}, but this computer runs Plasma {1}; Pellor cannot restore them here.",
             {QString::number(plasma), QString::number(int(m_plasma))}}));
    // What a backup does not name (one made before Pellor knew it) stays as it is.
    const auto keyGroup = [&](KdeConfigFile &file, const KeyGroup &owned) {
        const QJsonValue saved = native.value(nativeName(file.name(), owned.path));
        for (const QString &key : owned.keys) {
            const QJsonValue value = saved.toObject().value(key);
            if (saved.isUndefined() || (saved.isObject() && value.isUndefined()))
                continue;
            if (value.isString())
                set(file, owned.path, key, value.toString());
            else
                remove(file, owned.path, key);
        }
    };
    if (m_plasma == Plasma::five) {
        for (const QStringList &path : plasma5Groups()) {
            const QJsonValue saved = native.value(nativeName(m_profiles.name(), path));
            const QByteArray text = saved.toString().toUtf8();
            if (saved.isUndefined() || m_profiles.user().groupText(path) == text)
                continue;
            removeGroup(m_profiles, path);
            if (saved.isString())
                insertGroup(m_profiles, path, text);
        }
    } else {
        for (const KeyGroup &owned : plasma6Groups())
            keyGroup(m_profiles, owned);
    }
    keyGroup(m_locker, kLockerKeys);
    // After the groups, whose lines end with a line break when put back at the end.
    for (KdeConfigFile *file : {&m_profiles, &m_locker})
        restoreFile(*file, native.value(file->name()));
}

void KdeIdleSettings::restoreFile(KdeConfigFile &file, const QJsonValue &saved) {
    // A backup made before Pellor kept these leaves a file it empties out removed, as then.
    const bool present = saved.isObject();
    const bool lineBreak = saved.toObject().value(u"finalLineBreak"_s).toBool(true);
    if ((!file.user().bytes().isEmpty() || present == file.isPresent()) &&
        lineBreak == file.user().endsWithLineBreak())
        return;
    m_changes << Change{&file, {}, {}};
    file.setPresent(present);
    file.user().setFinalLineBreak(lineBreak);
}

void KdeIdleSettings::set(KdeConfigFile &file, const QStringList &path, const QString &key,
                          const QString &value) {
    if (file.user().value(path, key) == value && file.value(path, key) == value)
        return;
    m_changes << Change{&file, path, key};
    file.user().setValue(path, key, value);
}

void KdeIdleSettings::remove(KdeConfigFile &file, const QStringList &path, const QString &key) {
    if (!file.user().value(path, key))
        return;
    m_changes << Change{&file, path, key};
    file.user().removeEntry(path, key);
}

void KdeIdleSettings::removeGroup(KdeConfigFile &file, const QStringList &path) {
    if (file.user().groupText(path).isEmpty() && !file.hasGroup(path))
        return;
    m_changes << Change{&file, path, {}};
    file.user().removeGroup(path);
}

void KdeIdleSettings::insertGroup(KdeConfigFile &file, const QStringList &path,
                                  const QByteArray &text) {
    if (text.isEmpty())
        return;
    m_changes << Change{&file, path, {}};
    file.user().insertGroupText(path, text);
}

void KdeIdleSettings::checkChanges() const {
    for (const Change &change : m_changes)
        if (change.file->isLocked(change.group, change.key))
            throw ConfigurationError::lockedByPolicy(
                (nativeName(change.file->name(), change.group) + u' ' + change.key).trimmed());
}

} // namespace norvane
