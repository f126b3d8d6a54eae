#include "GnomeIdleSettings.h"

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

namespace {

QList<GSettingsKeys::Schema> schemas() {
    return {
        {kSessionSchema, {GnomeIdleSettings::kIdleDelay}},
        {kPowerSchema,
         {GnomeIdleSettings::kIdleDim, GnomeIdleSettings::kAcTimeout, GnomeIdleSettings::kAcType,
          GnomeIdleSettings::kBatteryTimeout, GnomeIdleSettings::kBatteryType}}};
}

} // namespace

GnomeIdleSettings::GnomeIdleSettings() : m_keys(schemas()) {}

bool GnomeIdleSettings::isInstalled() {
    return GSettingsKeys::isInstalled(schemas());
}

qint64 GnomeIdleSettings::minutes(qint64 seconds) {
    return std::min(kMaxMinutes, (std::max<qint64>(seconds, 0) + 59) / 60);
}

QJsonObject GnomeIdleSettings::values() const {
    return m_keys.values();
}

QJsonObject GnomeIdleSettings::userValues() const {
    return m_keys.userValues();
}

QJsonValue GnomeIdleSettings::defaultValue(const QString &key) const {
    return m_keys.defaultValue(key);
}

MacConfiguration GnomeIdleSettings::configuration() const {
    return configurationOf(values(), userValues());
}

MacConfiguration GnomeIdleSettings::defaults() const {
    const QJsonObject own = m_keys.nothingSet();
    return configurationOf(m_keys.inEffect(own), own);
}

MacConfiguration GnomeIdleSettings::restoring(const MacConfiguration &backup) const {
    if (backup.native.isEmpty())
        return backup;
    const QJsonObject native = m_keys.restoring(backup.native);
    MacConfiguration restored = configurationOf(m_keys.inEffect(native), native);
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
    m_keys.write(wanted);
}

} // namespace norvane
