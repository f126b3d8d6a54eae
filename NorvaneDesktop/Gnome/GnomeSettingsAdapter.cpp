#include "GnomeSettingsAdapter.h"

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

bool GnomeSettingsAdapter::answers() {
    return GnomeIdleSettings::isInstalled();
}

SystemIdentity GnomeSettingsAdapter::identity() const {
    SystemIdentity identity;
    identity.id = u"gnome"_s;
    identity.name = u"GNOME"_s;
    identity.isMac = false;
    identity.ownScreenSaverTimer = false;
    identity.timersSource = u"GSettings org.gnome.desktop.session idle-delay, "
                            "org.gnome.settings-daemon.plugins.power sleep-inactive-*, idle-dim"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource = u"GSettings org.gnome.desktop.session idle-delay"_s;
    identity.holdersSource = u"logind ListInhibitors, org.gnome.SessionManager GetInhibitors"_s;
    identity.powerSettingsCommand = {u"gnome-control-center"_s, u"power"_s};
    return identity;
}

WatchedSettings GnomeSettingsAdapter::watched() const {
    return {
        .schemas = {u"org.gnome.desktop.session"_s, u"org.gnome.settings-daemon.plugins.power"_s}};
}

MacConfiguration GnomeSettingsAdapter::read() const {
    return GnomeIdleSettings().configuration();
}

MacConfiguration GnomeSettingsAdapter::restoring(const MacConfiguration &backup) const {
    return GnomeIdleSettings().restoring(backup);
}

MacConfiguration GnomeSettingsAdapter::defaults() const {
    return GnomeIdleSettings().defaults();
}

void GnomeSettingsAdapter::write(const MacConfiguration &target,
                                 const QJsonObject &original) const {
    GnomeIdleSettings settings;
    settings.write(target.native.isEmpty() ? valuesFor(target, original, settings) : target.native);
}

QJsonObject GnomeSettingsAdapter::valuesFor(const MacConfiguration &target,
                                            const QJsonObject &original,
                                            const GnomeIdleSettings &settings) {
    // One display timer serves every source.
    if (target.sources.isEmpty() ||
        std::any_of(target.sources.cbegin(), target.sources.cend(), [&](const auto &source) {
            return source.display != target.sources.first().display;
        }))
        fail(L10n::noop("The power settings are invalid."));
    const QJsonObject current = settings.values();
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
        const QString &timeout = battery ? Keys::kBatteryTimeout : Keys::kAcTimeout;
        const QString &type = battery ? Keys::kBatteryType : Keys::kAcType;
        if (source.sleep == 0) {
            values.insert(type, Keys::kNothing);
        } else {
            values.insert(timeout, source.sleep * 60);
            values.insert(type, sleepType(type, {current, original}, settings));
        }
    }
    return values;
}

QString GnomeSettingsAdapter::sleepType(const QString &key, const QList<QJsonObject> &sources,
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
