#include "GSettingsKeys.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

#include <algorithm>

namespace norvane {

GSettingsKeys::GSettingsKeys(const QList<Schema> &schemas) {
    m_schemas.reserve(size_t(schemas.size()));
    for (const Schema &schema : schemas) {
        m_schemas.emplace_back(schema.id, schema.keys);
        for (const QString &key : schema.keys)
            m_schemaOf.insert(key, qsizetype(m_schemas.size() - 1));
        m_keys << schema.keys;
    }
}

bool GSettingsKeys::isInstalled(const QList<Schema> &schemas) {
    return std::ranges::all_of(schemas, [](const Schema &schema) {
        return SchemaSettings::isInstalled(schema.id, schema.keys);
    });
}

const SchemaSettings &GSettingsKeys::schemaOf(const QString &key) const {
    return m_schemas[size_t(m_schemaOf.value(key))];
}

QJsonObject GSettingsKeys::values() const {
    QJsonObject values;
    for (const QString &key : m_keys)
        values.insert(key, schemaOf(key).value(key));
    return values;
}

QJsonObject GSettingsKeys::userValues() const {
    QJsonObject values;
    for (const QString &key : m_keys)
        values.insert(key, schemaOf(key).userValue(key));
    return values;
}

QJsonValue GSettingsKeys::defaultValue(const QString &key) const {
    return schemaOf(key).defaultValue(key);
}

QJsonObject GSettingsKeys::nothingSet() const {
    QJsonObject values;
    for (const QString &key : m_keys)
        values.insert(key, QJsonValue::Null);
    return values;
}

QJsonObject GSettingsKeys::restoring(const QJsonObject &backup) const {
    QJsonObject native = backup;
    const QJsonObject own = userValues();
    for (const QString &key : m_keys)
        if (!native.contains(key))
            native.insert(key, own[key]);
    return native;
}

QJsonObject GSettingsKeys::inEffect(const QJsonObject &native) const {
    QJsonObject values;
    for (const QString &key : m_keys)
        values.insert(key, native[key].isNull() ? defaultValue(key) : native[key]);
    return values;
}

void GSettingsKeys::write(const QJsonObject &wanted) const {
    const QJsonObject inEffect = values();
    const QJsonObject own = userValues();
    QList<SchemaSettings::Change> changes;
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it) {
        if (!m_schemaOf.contains(it.key()))
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
