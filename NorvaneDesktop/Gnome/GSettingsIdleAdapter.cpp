#include "GSettingsIdleAdapter.h"

#include "GnomeIdleSettings.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QString kNothing = u"nothing"_s;
constexpr qint64 kMaxSaverSeconds = 86400;

[[noreturn]] void fail(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

} // namespace

GSettingsIdleAdapter::GSettingsIdleAdapter(Layout layout) : m_layout(std::move(layout)) {}

QList<GSettingsKeys::Schema> GSettingsIdleAdapter::schemas(const Layout &layout) {
    QStringList power;
    for (const QString &source : {u"ac"_s, u"battery"_s})
        power << layout.displayKey.arg(source) << layout.sleepKey.arg(source)
              << layout.sleepTypeKey.arg(source) << layout.dimKey.arg(source);
    return {{layout.powerSchema, power},
            {layout.sessionSchema, {layout.idleDelayKey}},
            {layout.saverSchema, {layout.saverEnabledKey}}};
}

bool GSettingsIdleAdapter::installed(const Layout &layout) {
    return GSettingsKeys::isInstalled(schemas(layout));
}

QString GSettingsIdleAdapter::key(const QString &pattern, const QString &flag) {
    return pattern.arg(flag == u"-b" ? u"battery"_s : u"ac"_s);
}

WatchedSettings GSettingsIdleAdapter::watched() const {
    return {.schemas = {m_layout.powerSchema, m_layout.sessionSchema, m_layout.saverSchema}};
}

qint64 GSettingsIdleAdapter::screenSaverSeconds(const QJsonObject &inEffect) const {
    if (!inEffect[m_layout.saverEnabledKey].toBool())
        return 0;
    return std::clamp<qint64>(inEffect[m_layout.idleDelayKey].toInteger() * m_layout.idleDelayUnit,
                              0, kMaxSaverSeconds);
}

MacConfiguration GSettingsIdleAdapter::configurationOf(const QJsonObject &inEffect,
                                                       const QJsonObject &native) const {
    MacConfiguration configuration;
    for (const QString &flag : {u"-b"_s, u"-c"_s}) {
        const qint64 timeout = inEffect[key(m_layout.sleepKey, flag)].toInteger();
        const bool sleeps = inEffect[key(m_layout.sleepTypeKey, flag)].toString() != kNothing;
        configuration.sources << PowerSourceConfiguration{
            flag, GnomeIdleSettings::minutes(inEffect[key(m_layout.displayKey, flag)].toInteger()),
            sleeps ? GnomeIdleSettings::minutes(timeout) : 0};
    }
    configuration.screenSaverSeconds = screenSaverSeconds(inEffect);
    configuration.native = native;
    return configuration;
}

MacConfiguration GSettingsIdleAdapter::read() const {
    const GSettingsKeys keys(schemas(m_layout));
    return configurationOf(keys.values(), keys.userValues());
}

MacConfiguration GSettingsIdleAdapter::defaults() const {
    const GSettingsKeys keys(schemas(m_layout));
    const QJsonObject own = keys.nothingSet();
    return configurationOf(keys.inEffect(own), own);
}

MacConfiguration GSettingsIdleAdapter::restoring(const MacConfiguration &backup) const {
    if (backup.native.isEmpty())
        return backup;
    const GSettingsKeys keys(schemas(m_layout));
    const QJsonObject native = keys.restoring(backup.native);
    return configurationOf(keys.inEffect(native), native);
}

void GSettingsIdleAdapter::write(const MacConfiguration &target,
                                 const QJsonObject &original) const {
    const GSettingsKeys keys(schemas(m_layout));
    keys.write(target.native.isEmpty() ? valuesFor(target, original, keys) : target.native);
}

QJsonObject GSettingsIdleAdapter::valuesFor(const MacConfiguration &target,
                                            const QJsonObject &original,
                                            const GSettingsKeys &keys) const {
    const QJsonObject current = keys.values();
    const MacConfiguration now = configurationOf(current, {});
    QJsonObject values;
    for (const PowerSourceConfiguration &source : target.sources) {
        if (source.flag != u"-b" && source.flag != u"-c")
            fail(L10n::noop("Settings are outside the supported range. No command was run."));
        const PowerSourceConfiguration &was = now.sources[source.flag == u"-b" ? 0 : 1];
        if (source.display != was.display)
            values.insert(key(m_layout.displayKey, source.flag), source.display * 60);
        const QString dim = key(m_layout.dimKey, source.flag);
        if (source.display == 0 && current[dim].toBool())
            values.insert(dim, false);
        else if (source.display != 0 && was.display == 0 && !current[dim].toBool())
            values.insert(dim, original.contains(dim) ? original[dim] : QJsonValue::Null);
        if (source.sleep == was.sleep)
            continue;
        values.insert(key(m_layout.sleepKey, source.flag), source.sleep * 60);
        const QString type = key(m_layout.sleepTypeKey, source.flag);
        if (source.sleep != 0 && current[type].toString() == kNothing) {
            QString own = u"suspend"_s;
            for (const QJsonValue &candidate : {original[type], keys.defaultValue(type)})
                if (!candidate.toString().isEmpty() && candidate.toString() != kNothing) {
                    own = candidate.toString();
                    break;
                }
            values.insert(type, own);
        }
    }
    if (target.screenSaverSeconds && *target.screenSaverSeconds != now.screenSaverSeconds) {
        const qint64 seconds = *target.screenSaverSeconds;
        if (seconds < 0 || seconds > kMaxSaverSeconds)
            fail(L10n::noop("The screen saver timeout is outside the supported range."));
        const qint64 unit = m_layout.idleDelayUnit;
        if (seconds != 0 || m_layout.neverByDelay)
            values.insert(m_layout.idleDelayKey, (seconds + unit - 1) / unit);
        if (seconds == 0 && !m_layout.neverByDelay)
            values.insert(m_layout.saverEnabledKey, false);
        else if (seconds != 0 && !current[m_layout.saverEnabledKey].toBool())
            values.insert(m_layout.saverEnabledKey, true);
    }
    return values;
}

} // namespace norvane
