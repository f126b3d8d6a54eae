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

} // namespace

const QStringList GnomeIdleSettings::kKeys{
    u"idle-delay"_s, u"sleep-inactive-ac-timeout"_s, u"sleep-inactive-ac-type"_s,
    u"sleep-inactive-battery-timeout"_s, u"sleep-inactive-battery-type"_s};

const QString GnomeIdleSettings::kIdleDelay = u"idle-delay"_s;
const QString GnomeIdleSettings::kAcTimeout = u"sleep-inactive-ac-timeout"_s;
const QString GnomeIdleSettings::kAcType = u"sleep-inactive-ac-type"_s;
const QString GnomeIdleSettings::kBatteryTimeout = u"sleep-inactive-battery-timeout"_s;
const QString GnomeIdleSettings::kBatteryType = u"sleep-inactive-battery-type"_s;
const QString GnomeIdleSettings::kNothing = u"nothing"_s;

GnomeIdleSettings::GnomeIdleSettings()
    : m_session(kSessionSchema, {kIdleDelay}),
      m_power(kPowerSchema, {kAcTimeout, kAcType, kBatteryTimeout, kBatteryType}) {}

bool GnomeIdleSettings::isInstalled() {
    return SchemaSettings::isInstalled(kSessionSchema, {kIdleDelay}) &&
           SchemaSettings::isInstalled(kPowerSchema,
                                       {kAcTimeout, kAcType, kBatteryTimeout, kBatteryType});
}

qint64 GnomeIdleSettings::minutes(qint64 seconds) {
    return std::min(kMaxMinutes, (std::max<qint64>(seconds, 0) + 59) / 60);
}

SchemaSettings &GnomeIdleSettings::schemaOf(const QString &key) {
    return key == kIdleDelay ? m_session : m_power;
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
    const QJsonObject native = values();
    const qint64 display = minutes(native[kIdleDelay].toInteger());
    const auto sleep = [&](const QString &timeout, const QString &type) {
        return native[type].toString() == kNothing ? 0 : minutes(native[timeout].toInteger());
    };
    MacConfiguration configuration;
    configuration.sources = {{u"-b"_s, display, sleep(kBatteryTimeout, kBatteryType)},
                             {u"-c"_s, display, sleep(kAcTimeout, kAcType)}};
    configuration.native = userValues();
    return configuration;
}

void GnomeIdleSettings::write(const QJsonObject &wanted) {
    const QJsonObject inEffect = values();
    const QJsonObject own = userValues();
    QStringList changed;
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it) {
        if (!kKeys.contains(it.key()))
            throw ConfigurationError::message(L10n::text("The power settings are invalid."));
        const QJsonObject &current = it.value().isNull() ? own : inEffect;
        if (current[it.key()] != it.value())
            changed << it.key();
    }
    for (const QString &key : std::as_const(changed)) {
        if (!schemaOf(key).isWritable(key))
            throw ConfigurationError::message(L10n::text(
                "The saved settings do not match the requested values. A management policy may restrict changes."));
        if (!schemaOf(key).accepts(key, wanted[key]))
            throw ConfigurationError::message(
                L10n::text("Settings are outside the supported range. No command was run."));
    }
    for (const QString &key : std::as_const(changed))
        schemaOf(key).set(key, wanted[key]);
    if (!changed.isEmpty())
        SchemaSettings::sync();
}

} // namespace norvane
