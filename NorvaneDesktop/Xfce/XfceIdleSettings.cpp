#include "XfceIdleSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Services/DBusCalls.h"
#include "Xfconf.h"

#include <QJsonArray>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kMaxMinutes = 1440;
const QString kPowerChannel = u"xfce4-power-manager"_s;
const QString kSaverChannel = u"xfce4-screensaver"_s;
constexpr qint64 kOldNever = 14;

// "-c" is xfce4-power-manager's "ac", "-b" its "battery".
QString sourceName(const QString &flag) {
    return flag == u"-c" ? u"ac"_s : u"battery"_s;
}

// xfce4-power-manager's and xfce4-screensaver's defaults for what has no value.
qint64 defaultStandby(const QString &source) {
    return source == u"ac" ? 10 : 5;
}
qint64 defaultOff(const QString &source) {
    return source == u"ac" ? 15 : 10;
}
constexpr qint64 kDefaultSaverDelay = 5;
// The power manager also blanks the screen through the X screen saver after blank-on-* minutes
// (0 never) and reduces the brightness after brightness-on-* seconds (9 or less never).
constexpr qint64 kDefaultBlank = 10;
constexpr qint64 kBrightnessNever = 9;
qint64 defaultBrightness(const QString &source) {
    return source == u"ac" ? kBrightnessNever : 300;
}

// The first version number in `text`; a null version when there is none.
QVersionNumber versionIn(const QString &text) {
    const QRegularExpressionMatch match =
        QRegularExpression(u"(\\d+)\\.(\\d+)(?:\\.(\\d+))?"_s).match(text);
    if (!match.hasMatch())
        return {};
    return QVersionNumber(match.captured(1).toInt(), match.captured(2).toInt(),
                          match.captured(3).toInt());
}

// Null when the program does not run or says no version.
QVersionNumber installedVersion() {
    static QMutex mutex;
    static bool asked = false;
    static QVersionNumber cached;
    const QMutexLocker locker(&mutex);
    if (!asked) {
        asked = true;
        QProcess program;
        program.start(u"xfce4-power-manager"_s, {u"--version"_s});
        const bool ran = program.waitForFinished(dbus::timeoutMs()) &&
                         program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
        if (!ran)
            program.kill();
        // "This is xfce4-power-manager version 4.18.1, running on Xfce 4.18."
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const qsizetype at = out.indexOf(u"version"_s);
        if (ran && at >= 0)
            cached = versionIn(out.mid(at));
    }
    return cached;
}

QJsonValue toJson(const std::optional<QVariant> &value) {
    if (!value)
        return QJsonValue::Null;
    const QString type = xfconf::signature(*value);
    return QJsonArray{type, type == u"b"   ? QJsonValue(value->toBool())
                            : type == u"s" ? QJsonValue(value->toString())
                                           : QJsonValue(value->toLongLong())};
}

} // namespace

const QStringList XfceIdleSettings::kKeys{
    u"dpms-enabled"_s,          u"dpms-on-ac-sleep"_s,        u"dpms-on-ac-off"_s,
    u"dpms-on-battery-sleep"_s, u"dpms-on-battery-off"_s,     u"inactivity-on-ac"_s,
    u"inactivity-on-battery"_s, u"idle-activation/enabled"_s, u"idle-activation/delay"_s,
    u"blank-on-ac"_s,           u"blank-on-battery"_s,        u"brightness-on-ac"_s,
    u"brightness-on-battery"_s};

XfceIdleSettings::Property XfceIdleSettings::property(const QString &key) {
    if (key.startsWith(u"idle-activation/"))
        return {kSaverChannel, u"/saver/"_s + key, key.endsWith(u"enabled") ? u"b"_s : u"i"_s};
    const QString type = key == u"dpms-enabled"         ? u"b"_s
                         : key.startsWith(u"blank-on-") ? u"i"_s
                                                        : u"u"_s;
    return {kPowerChannel, u"/xfce4-power-manager/"_s + key, type};
}

XfceIdleSettings::XfceIdleSettings()
    : XfceIdleSettings(xfconf::properties(kPowerChannel, u"/xfce4-power-manager"_s),
                       xfconf::properties(kSaverChannel, u"/saver/idle-activation"_s),
                       powerManagerVersion(false)) {}

XfceIdleSettings::XfceIdleSettings(QVariantMap power, QVariantMap saver, QVersionNumber version)
    : m_power(std::move(power)), m_saver(std::move(saver)), m_version(std::move(version)) {}

MacConfiguration XfceIdleSettings::defaults() {
    return XfceIdleSettings({}, {}, {}).configuration();
}

QVersionNumber XfceIdleSettings::powerManagerVersion(bool mayRunProgram) {
    const auto info = dbus::call(
        {QDBusConnection::SessionBus, u"org.xfce.PowerManager"_s, u"/org/xfce/PowerManager"_s},
        u"org.xfce.Power.Manager"_s, u"GetInfo"_s);
    if (info && info->size() >= 2)
        if (QVersionNumber running = versionIn(info->at(1).toString()); !running.isNull())
            return running;
    if (mayRunProgram)
        if (QVersionNumber installed = installedVersion(); !installed.isNull())
            return installed;
    return QVersionNumber(4, 18);
}

bool XfceIdleSettings::neverIsZero(const QVersionNumber &version) {
    return version >= QVersionNumber(4, 19, 3);
}

std::optional<QString> XfceIdleSettings::refusedSleep(qint64 minutes,
                                                      const QVersionNumber &version) {
    if (minutes != kOldNever || neverIsZero(version))
        return std::nullopt;
    return L10n::text(
        {"Xfce's power manager {0} takes 14 minutes for Never, so it cannot sleep after 14 minutes. Choose another time.",
         {version.toString()}});
}

std::optional<QVariant> XfceIdleSettings::value(const Property &property) const {
    const QVariantMap &channel = property.channel == kPowerChannel ? m_power : m_saver;
    const auto found = channel.constFind(property.name);
    return found == channel.cend() ? std::nullopt : std::optional(*found);
}

qint64 XfceIdleSettings::number(const Property &property, qint64 fallback) const {
    const std::optional<QVariant> found = value(property);
    if (!found)
        return fallback;
    const QString type = xfconf::signature(*found);
    if (type == u"b")
        return found->toBool() ? 1 : 0;
    if (type.isEmpty() || type == u"s")
        throw ConfigurationError::message(
            L10n::text({"Pellor cannot read “{0}” in “{1}”.", {property.name, property.channel}}));
    return found->toLongLong();
}

qint64 XfceIdleSettings::displayMinutes(const QString &source) const {
    const qint64 off = offMinutes(source);
    return off != 0 ? off : darkMinutes(source);
}

qint64 XfceIdleSettings::darkMinutes(const QString &source) const {
    QList<qint64> times;
    if (const qint64 blank = number(property(u"blank-on-"_s + source), kDefaultBlank); blank > 0)
        times << std::min(blank, kMaxMinutes);
    if (const qint64 seconds =
            number(property(u"brightness-on-"_s + source), defaultBrightness(source));
        seconds > kBrightnessNever)
        times << std::min((seconds + 59) / 60, kMaxMinutes);
    return times.isEmpty() ? 0 : *std::min_element(times.cbegin(), times.cend());
}

qint64 XfceIdleSettings::offMinutes(const QString &source) const {
    if (number(property(u"dpms-enabled"_s), 1) == 0)
        return 0;
    QList<qint64> times{number(property(u"dpms-on-%1-sleep"_s.arg(source)), defaultStandby(source)),
                        number(property(u"dpms-on-%1-off"_s.arg(source)), defaultOff(source))};
    times.removeIf([](qint64 minutes) { return minutes <= 0; });
    return times.isEmpty() ? 0
                           : std::min(*std::min_element(times.cbegin(), times.cend()), kMaxMinutes);
}

qint64 XfceIdleSettings::sleepMinutes(const QString &source) const {
    const qint64 minutes = number(property(u"inactivity-on-%1"_s.arg(source)), 0);
    if (minutes <= 0 || (minutes == kOldNever && !neverIsZero(m_version)))
        return 0;
    return std::min(minutes, kMaxMinutes);
}

qint64 XfceIdleSettings::screenSaverSeconds() const {
    if (number(property(u"idle-activation/enabled"_s), 1) == 0)
        return 0;
    return std::clamp<qint64>(number(property(u"idle-activation/delay"_s), kDefaultSaverDelay), 1,
                              kMaxMinutes) *
           60;
}

QJsonObject XfceIdleSettings::native() const {
    QJsonObject values;
    for (const QString &key : kKeys) {
        const Property owned = property(key);
        values.insert(owned.channel + u' ' + owned.name, toJson(value(owned)));
    }
    return values;
}

MacConfiguration XfceIdleSettings::configuration() const {
    MacConfiguration configuration;
    for (const QString &flag : {u"-b"_s, u"-c"_s})
        configuration.sources << PowerSourceConfiguration{flag, displayMinutes(sourceName(flag)),
                                                          sleepMinutes(sourceName(flag))};
    configuration.screenSaverSeconds = screenSaverSeconds();
    configuration.native = native();
    return configuration;
}

void XfceIdleSettings::change(QList<Change> &changes, const Property &owned, qint64 wanted) const {
    const std::optional<QVariant> current = value(owned);
    // A property keeps the type it has; a new one gets the type its program reads.
    const QString type = current ? xfconf::signature(*current) : owned.signature;
    const QVariant typed = xfconf::typed(type, wanted);
    if (!typed.isValid())
        throw ConfigurationError::message(
            L10n::text("Settings are outside the supported range. No command was run."));
    if (current && xfconf::signature(*current) == type && *current == typed)
        return;
    changes.removeIf([&](const Change &earlier) { return earlier.property.name == owned.name; });
    changes << Change{owned, typed};
}

void XfceIdleSettings::restoreValue(QList<Change> &changes, const Property &owned,
                                    const QJsonValue &saved) const {
    const QJsonArray typed = saved.toArray();
    if (typed.size() != 2) {
        if (value(owned))
            changes << Change{owned, {}};
        return;
    }
    const QJsonValue number = typed[1];
    change(changes, {owned.channel, owned.name, typed[0].toString()},
           number.isBool() ? qint64(number.toBool()) : number.toInteger(-1));
}

QList<XfceIdleSettings::Change> XfceIdleSettings::nativeChanges(const QJsonObject &native) const {
    QList<Change> changes;
    for (const QString &key : kKeys) {
        const Property owned = property(key);
        const QString name = owned.channel + u' ' + owned.name;
        // What a backup does not name (one made before Pellor knew it) stays as it is.
        if (native.contains(name))
            restoreValue(changes, owned, native.value(name));
    }
    return changes;
}

void XfceIdleSettings::stopDarkening(QList<Change> &changes, const QString &source) const {
    if (const Property blank = property(u"blank-on-"_s + source); number(blank, kDefaultBlank) > 0)
        change(changes, blank, 0);
    if (const Property brightness = property(u"brightness-on-"_s + source);
        number(brightness, defaultBrightness(source)) > kBrightnessNever)
        change(changes, brightness, kBrightnessNever);
}

void XfceIdleSettings::resumeDarkening(QList<Change> &changes, const QString &source,
                                       const QJsonObject &original) const {
    const auto giveBack = [&](const Property &owned) {
        restoreValue(changes, owned, original.value(owned.channel + u' ' + owned.name));
    };
    if (const Property blank = property(u"blank-on-"_s + source); number(blank, kDefaultBlank) <= 0)
        giveBack(blank);
    if (const Property brightness = property(u"brightness-on-"_s + source);
        number(brightness, defaultBrightness(source)) <= kBrightnessNever)
        giveBack(brightness);
}

MacConfiguration XfceIdleSettings::restoring(const MacConfiguration &backup) {
    if (backup.native.isEmpty())
        return backup;
    for (const Change &pending : nativeChanges(backup.native)) {
        QVariantMap &channel = pending.property.channel == kPowerChannel ? m_power : m_saver;
        if (pending.value.isValid())
            channel.insert(pending.property.name, pending.value);
        else
            channel.remove(pending.property.name);
    }
    return configuration();
}

QList<XfceIdleSettings::Change> XfceIdleSettings::minuteChanges(const MacConfiguration &target,
                                                                const QJsonObject &original) const {
    QList<Change> changes;
    const QVersionNumber version = powerManagerVersion(true);
    bool anyDisplay = false;
    for (const PowerSourceConfiguration &wanted : target.sources) {
        if ((wanted.flag != u"-b" && wanted.flag != u"-c") || wanted.display < 0 ||
            wanted.display > kMaxMinutes || wanted.sleep < 0 || wanted.sleep > kMaxMinutes)
            throw ConfigurationError::message(
                L10n::text("Settings are outside the supported range. No command was run."));
        anyDisplay = anyDisplay || wanted.display > 0;
    }
    // DPMS serves both sources: on where either turns the display off, and then a source
    // that never does has neither of its times.
    if (anyDisplay && number(property(u"dpms-enabled"_s), 1) == 0)
        change(changes, property(u"dpms-enabled"_s), 1);
    const bool dpmsOn = anyDisplay || number(property(u"dpms-enabled"_s), 1) != 0;
    for (const PowerSourceConfiguration &wanted : target.sources) {
        const QString source = sourceName(wanted.flag);
        const Property standby = property(u"dpms-on-%1-sleep"_s.arg(source));
        const Property off = property(u"dpms-on-%1-off"_s.arg(source));
        const qint64 offNow = offMinutes(source);
        if (dpmsOn && (wanted.display != offNow || number(property(u"dpms-enabled"_s), 1) == 0)) {
            const qint64 standbyNow = number(standby, defaultStandby(source));
            change(changes, off, wanted.display);
            // Standby before the display turns off would darken it sooner.
            if (wanted.display == 0 || (standbyNow > 0 && standbyNow < wanted.display))
                change(changes, standby, wanted.display);
        }
        // Never keeps the screen lit; a time after Never brings blanking and dimming back, and a
        // time after a time leaves them as they are.
        if (wanted.display == 0)
            stopDarkening(changes, source);
        else if (offNow == 0)
            resumeDarkening(changes, source, original);
        if (wanted.sleep != sleepMinutes(source)) {
            if (const std::optional<QString> refused = refusedSleep(wanted.sleep, version))
                throw ConfigurationError::message(*refused);
            change(changes, property(u"inactivity-on-%1"_s.arg(source)),
                   wanted.sleep != 0      ? wanted.sleep
                   : neverIsZero(version) ? 0
                                          : kOldNever);
        }
    }
    if (target.screenSaverSeconds && *target.screenSaverSeconds != screenSaverSeconds()) {
        const qint64 seconds = *target.screenSaverSeconds;
        if (seconds < 0 || seconds > kMaxMinutes * 60)
            throw ConfigurationError::message(
                L10n::text("The screen saver timeout is outside the supported range."));
        if (seconds == 0 || number(property(u"idle-activation/enabled"_s), 1) == 0)
            change(changes, property(u"idle-activation/enabled"_s), seconds == 0 ? 0 : 1);
        if (seconds != 0)
            change(changes, property(u"idle-activation/delay"_s), (seconds + 59) / 60);
    }
    return changes;
}

void XfceIdleSettings::write(const MacConfiguration &target, const QJsonObject &original) {
    const QList<Change> changes =
        target.native.isEmpty() ? minuteChanges(target, original) : nativeChanges(target.native);
    for (const Change &pending : changes)
        if (xfconf::isLocked(pending.property.channel, pending.property.name))
            throw ConfigurationError::lockedByPolicy(pending.property.channel + u' ' +
                                                     pending.property.name);
    for (const Change &pending : changes) {
        if (pending.value.isValid())
            xfconf::set(pending.property.channel, pending.property.name, pending.value);
        else
            xfconf::reset(pending.property.channel, pending.property.name);
    }
}

} // namespace norvane
