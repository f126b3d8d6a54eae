#include "GnomeConfigurationBackend.h"

#include "GnomeIdleSettings.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

[[noreturn]] void fail(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

} // namespace

GnomeConfigurationBackend::GnomeConfigurationBackend(OriginalSettingsBackup backup)
    : m_backup(std::move(backup)) {}

MacConfiguration GnomeConfigurationBackend::read() {
    return GnomeIdleSettings().configuration();
}

void GnomeConfigurationBackend::saveOriginalIfNeeded(const MacConfiguration &configuration) {
    m_backup.saveIfMissing(configuration);
}

MacConfiguration GnomeConfigurationBackend::loadOriginal() {
    return GnomeIdleSettings().restoring(m_backup.load());
}

MacConfiguration GnomeConfigurationBackend::systemDefaults(const MacConfiguration &) const {
    return GnomeIdleSettings().defaults();
}

void GnomeConfigurationBackend::write(const MacConfiguration &target) {
    GnomeIdleSettings settings;
    settings.write(target.native.isEmpty() ? valuesFor(target, settings) : target.native);
}

QJsonObject GnomeConfigurationBackend::valuesFor(const MacConfiguration &target,
                                                 const GnomeIdleSettings &settings) {
    // One display timer serves every source.
    if (target.sources.isEmpty() ||
        std::any_of(target.sources.cbegin(), target.sources.cend(), [&](const auto &source) {
            return source.display != target.sources.first().display;
        }))
        fail(L10n::noop("The power settings are invalid."));
    const QJsonObject current = settings.values();
    QJsonObject original;
    try {
        original = m_backup.load().native;
    } catch (const std::exception &) {
        // No usable backup: GNOME's default decides the kind of sleep.
    }
    using Keys = GnomeIdleSettings;
    const qint64 display = target.sources.first().display;
    QJsonObject values{{Keys::kIdleDelay, display * 60}};
    // Never keeps the screen lit, so GNOME does not dim it either; a time after Never gives the
    // dimming back as the user had it (the backup's, else GNOME's default).
    if (display == 0) {
        values.insert(Keys::kIdleDim, false);
    } else if (current[Keys::kIdleDelay].toInteger() == 0 && !current[Keys::kIdleDim].toBool()) {
        const QJsonValue own = original.value(Keys::kIdleDim);
        values.insert(Keys::kIdleDim, own.isUndefined() ? QJsonValue(QJsonValue::Null) : own);
    }
    for (const PowerSourceConfiguration &source : target.sources) {
        const bool battery = source.flag == u"-b";
        if (!battery && source.flag != u"-c")
            fail(L10n::noop("Settings are outside the supported range. No command was run."));
        const QString &timeout =
            battery ? GnomeIdleSettings::kBatteryTimeout : GnomeIdleSettings::kAcTimeout;
        const QString &type =
            battery ? GnomeIdleSettings::kBatteryType : GnomeIdleSettings::kAcType;
        if (source.sleep == 0) {
            values.insert(type, GnomeIdleSettings::kNothing);
        } else {
            values.insert(timeout, source.sleep * 60);
            values.insert(type, sleepType(type, {current, original}, settings));
        }
    }
    return values;
}

QString GnomeConfigurationBackend::sleepType(const QString &key, const QList<QJsonObject> &sources,
                                             const GnomeIdleSettings &settings) {
    QStringList candidates;
    for (const QJsonObject &values : sources)
        candidates << values[key].toString();
    candidates << settings.defaultValue(key).toString();
    for (const QString &candidate : std::as_const(candidates))
        if (!candidate.isEmpty() && candidate != GnomeIdleSettings::kNothing)
            return candidate;
    return u"suspend"_s;
}

} // namespace norvane
