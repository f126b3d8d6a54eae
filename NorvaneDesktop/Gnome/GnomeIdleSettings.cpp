#include "GnomeIdleSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

#include <algorithm>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QString kSessionSchema = u"org.gnome.desktop.session"_s;
const QString kPowerSchema = u"org.gnome.settings-daemon.plugins.power"_s;

constexpr qint64 kMaxMinutes = 1440;
// gnome-settings-daemon's IDLE_DIM_BLANK_DISABLED_MIN: it dims after this while idle-delay is 0.
constexpr qint64 kDimWithoutBlankSeconds = 60;

} // namespace

const QStringList GnomeIdleSettings::kKeys{u"idle-delay"_s,
                                           u"idle-dim"_s,
                                           u"sleep-inactive-ac-timeout"_s,
                                           u"sleep-inactive-ac-type"_s,
                                           u"sleep-inactive-battery-timeout"_s,
                                           u"sleep-inactive-battery-type"_s};

const QString GnomeIdleSettings::kIdleDelay = u"idle-delay"_s;
const QString GnomeIdleSettings::kIdleDim = u"idle-dim"_s;
const QString GnomeIdleSettings::kAcTimeout = u"sleep-inactive-ac-timeout"_s;
const QString GnomeIdleSettings::kAcType = u"sleep-inactive-ac-type"_s;
const QString GnomeIdleSettings::kBatteryTimeout = u"sleep-inactive-battery-timeout"_s;
const QString GnomeIdleSettings::kBatteryType = u"sleep-inactive-battery-type"_s;
const QString GnomeIdleSettings::kNothing = u"nothing"_s;

GnomeIdleSettings::GnomeIdleSettings()
    : m_session(kSessionSchema, {kIdleDelay}),
      m_power(kPowerSchema, {kIdleDim, kAcTimeout, kAcType, kBatteryTimeout, kBatteryType}) {}

bool GnomeIdleSettings::isInstalled() {
    return SchemaSettings::isInstalled(kSessionSchema, {kIdleDelay}) &&
           SchemaSettings::isInstalled(
               kPowerSchema, {kIdleDim, kAcTimeout, kAcType, kBatteryTimeout, kBatteryType});
}

qint64 GnomeIdleSettings::minutes(qint64 seconds) {
    return std::min(kMaxMinutes, (std::max<qint64>(seconds, 0) + 59) / 60);
}

const SchemaSettings &GnomeIdleSettings::schemaOf(const QString &key) const {
    return key == kIdleDelay ? m_session : m_power;
}

QJsonObject GnomeIdleSettings::values() const {
    QJsonObject values;
    for (const QString &key : kKeys)
        values.insert(key, schemaOf(key).value(key));
    return values;
}

QJsonObject GnomeIdleSettings::userValues() const {
    QJsonObject values;
    for (const QString &key : kKeys)
        values.insert(key, schemaOf(key).userValue(key));
    return values;
}

QJsonValue GnomeIdleSettings::defaultValue(const QString &key) const {
    return schemaOf(key).defaultValue(key);
}

MacConfiguration GnomeIdleSettings::configuration() const {
    return configurationOf(values(), userValues());
}

MacConfiguration GnomeIdleSettings::defaults() const {
    QJsonObject inEffect;
    QJsonObject own;
    for (const QString &key : kKeys) {
        inEffect.insert(key, defaultValue(key));
        own.insert(key, QJsonValue::Null);
    }
    return configurationOf(inEffect, own);
}

MacConfiguration GnomeIdleSettings::restoring(const MacConfiguration &backup) const {
    if (backup.native.isEmpty())
        return backup;
    QJsonObject native = backup.native;
    const QJsonObject own = userValues();
    QJsonObject inEffect;
    for (const QString &key : kKeys) {
        if (!native.contains(key))
            native.insert(key, own[key]);
        inEffect.insert(key, native[key].isNull() ? defaultValue(key) : native[key]);
    }
    MacConfiguration restored = configurationOf(inEffect, native);
    restored.screenSaverSeconds = backup.screenSaverSeconds;
    return restored;
}

MacConfiguration GnomeIdleSettings::configurationOf(const QJsonObject &inEffect,
                                                    const QJsonObject &native) {
    qint64 display = minutes(inEffect[kIdleDelay].toInteger());
    if (display == 0 && inEffect[kIdleDim].toBool())
        display = minutes(kDimWithoutBlankSeconds);
    const auto sleep = [&](const QString &timeout, const QString &type) {
        return inEffect[type].toString() == kNothing ? 0 : minutes(inEffect[timeout].toInteger());
    };
    MacConfiguration configuration;
    configuration.sources = {{u"-b"_s, display, sleep(kBatteryTimeout, kBatteryType)},
                             {u"-c"_s, display, sleep(kAcTimeout, kAcType)}};
    configuration.native = native;
    return configuration;
}

void GnomeIdleSettings::write(const QJsonObject &wanted) {
    const QJsonObject inEffect = values();
    const QJsonObject own = userValues();
    QList<SchemaSettings::Change> changes;
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it) {
        if (!kKeys.contains(it.key()))
            throw ConfigurationError::message(L10n::text("The power settings are invalid."));
        const QJsonObject &current = it.value().isNull() ? own : inEffect;
        if (current[it.key()] != it.value())
            changes << SchemaSettings::Change{&schemaOf(it.key()), it.key(), it.value()};
    }
    for (const SchemaSettings::Change &change : std::as_const(changes)) {
        if (!change.schema->isWritable(change.key))
            throw ConfigurationError::lockedByPolicy(change.schema->id() + u' ' + change.key);
        if (!change.schema->accepts(change.key, change.value))
            throw ConfigurationError::message(
                L10n::text("Settings are outside the supported range. No command was run."));
    }
    SchemaSettings::write(changes);
}

} // namespace norvane
