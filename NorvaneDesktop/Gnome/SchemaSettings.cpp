#include "SchemaSettings.h"

#include "DconfWriter.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"
#include "Services/DBusCalls.h"

#include <algorithm>
#include <gio/gio.h>
#include <limits>
#include <memory>

namespace norvane {

namespace {

struct SchemaDeleter {
    void operator()(::GSettingsSchema *schema) const { g_settings_schema_unref(schema); }
};
struct KeyDeleter {
    void operator()(GSettingsSchemaKey *key) const { g_settings_schema_key_unref(key); }
};
struct VariantDeleter {
    void operator()(GVariant *variant) const { g_variant_unref(variant); }
};
using Schema = std::unique_ptr<::GSettingsSchema, SchemaDeleter>;
using SchemaKey = std::unique_ptr<GSettingsSchemaKey, KeyDeleter>;
using Variant = std::unique_ptr<GVariant, VariantDeleter>;

Schema lookup(const QString &id) {
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    return Schema(g_settings_schema_source_lookup(source, id.toUtf8().constData(), TRUE));
}

SchemaKey keyOf(GSettings *settings, const QString &key) {
    ::GSettingsSchema *schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    const Schema owned(schema);
    return SchemaKey(g_settings_schema_get_key(schema, key.toUtf8().constData()));
}

QJsonValue toJson(GVariant *variant) {
    if (g_variant_is_of_type(variant, G_VARIANT_TYPE_UINT32))
        return qint64(g_variant_get_uint32(variant));
    if (g_variant_is_of_type(variant, G_VARIANT_TYPE_INT32))
        return qint64(g_variant_get_int32(variant));
    if (g_variant_is_of_type(variant, G_VARIANT_TYPE_STRING))
        return QString::fromUtf8(g_variant_get_string(variant, nullptr));
    if (g_variant_is_of_type(variant, G_VARIANT_TYPE_BOOLEAN))
        return bool(g_variant_get_boolean(variant));
    return {};
}

// A floating variant of `type` holding `value`, or null when the value cannot have that type.
GVariant *toVariant(const GVariantType *type, const QJsonValue &value) {
    const auto whole = [&](qint64 low, qint64 high) -> std::optional<qint64> {
        if (!value.isDouble())
            return std::nullopt;
        const qint64 number = value.toInteger(low - 1);
        return number >= low && number <= high ? std::optional(number) : std::nullopt;
    };
    if (g_variant_type_equal(type, G_VARIANT_TYPE_UINT32)) {
        if (const auto number = whole(0, std::numeric_limits<guint32>::max()))
            return g_variant_new_uint32(guint32(*number));
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_INT32)) {
        if (const auto number =
                whole(std::numeric_limits<gint32>::min(), std::numeric_limits<gint32>::max()))
            return g_variant_new_int32(gint32(*number));
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_STRING) && value.isString()) {
        return g_variant_new_string(value.toString().toUtf8().constData());
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_BOOLEAN) && value.isBool()) {
        return g_variant_new_boolean(value.toBool());
    }
    return nullptr;
}

[[noreturn]] void notInstalled(const QString &what) {
    throw ConfigurationError::message(L10n::text(
        {"The {0} setting “{1}” is not installed on this computer, so Pellor cannot read or change it.",
         {currentSystem().name, what}}));
}

[[noreturn]] void refused(const QString &schema, const QString &key) {
    throw ConfigurationError::message(L10n::text(
        {"{0} did not accept the value of “{1}”.", {currentSystem().name, schema + u' ' + key}}));
}

} // namespace

bool SchemaSettings::isInstalled(const QString &id, const QStringList &keys) {
    const Schema schema = lookup(id);
    if (!schema)
        return false;
    return std::ranges::all_of(keys, [&schema](const QString &key) {
        return g_settings_schema_has_key(schema.get(), key.toUtf8().constData());
    });
}

SchemaSettings::SchemaSettings(const QString &id, const QStringList &keys) : m_id(id) {
    const Schema schema = lookup(id);
    if (!schema)
        notInstalled(id);
    for (const QString &key : keys)
        if (!g_settings_schema_has_key(schema.get(), key.toUtf8().constData()))
            notInstalled(id + u' ' + key);
    m_settings = g_settings_new_full(schema.get(), nullptr, nullptr);
}

SchemaSettings::~SchemaSettings() {
    if (m_settings)
        g_object_unref(m_settings);
}

SchemaSettings::SchemaSettings(SchemaSettings &&other) noexcept
    : m_id(std::move(other.m_id)), m_settings(std::exchange(other.m_settings, nullptr)) {}

QJsonValue SchemaSettings::value(const QString &key) const {
    const Variant variant(g_settings_get_value(m_settings, key.toUtf8().constData()));
    return toJson(variant.get());
}

QJsonValue SchemaSettings::userValue(const QString &key) const {
    GVariant *variant = g_settings_get_user_value(m_settings, key.toUtf8().constData());
    if (!variant)
        return QJsonValue::Null;
    const Variant owned(variant);
    return toJson(variant);
}

QJsonValue SchemaSettings::defaultValue(const QString &key) const {
    const SchemaKey schemaKey = keyOf(m_settings, key);
    const Variant variant(g_settings_schema_key_get_default_value(schemaKey.get()));
    return toJson(variant.get());
}

bool SchemaSettings::isWritable(const QString &key) const {
    return g_settings_is_writable(m_settings, key.toUtf8().constData());
}

bool SchemaSettings::accepts(const QString &key, const QJsonValue &value) const {
    if (value.isNull())
        return true;
    const SchemaKey schemaKey = keyOf(m_settings, key);
    GVariant *variant = toVariant(g_settings_schema_key_get_value_type(schemaKey.get()), value);
    if (!variant)
        return false;
    const Variant owned(g_variant_ref_sink(variant));
    return g_settings_schema_key_range_check(schemaKey.get(), variant);
}

QString SchemaSettings::path() const {
    gchar *path = nullptr;
    g_object_get(m_settings, "path", &path, nullptr);
    QString text = QString::fromUtf8(path);
    g_free(path);
    return text;
}

void SchemaSettings::set(const QString &key, const QJsonValue &value) const {
    if (value.isNull())
        return g_settings_reset(m_settings, key.toUtf8().constData());
    const SchemaKey schemaKey = keyOf(m_settings, key);
    GVariant *variant = toVariant(g_settings_schema_key_get_value_type(schemaKey.get()), value);
    // Takes the floating reference.
    if (!variant || !g_settings_set_value(m_settings, key.toUtf8().constData(), variant))
        refused(m_id, key);
}

void SchemaSettings::write(const QList<Change> &changes) {
    if (changes.isEmpty())
        return;
    if (!dconf::isInUse()) {
        for (const Change &change : changes)
            change.schema->set(change.key, change.value);
        g_settings_sync();
        return;
    }
    QList<dconf::Write> values;
    for (const Change &change : changes) {
        GVariant *value = nullptr;
        if (!change.value.isNull()) {
            const SchemaKey schemaKey = keyOf(change.schema->m_settings, change.key);
            value = toVariant(g_settings_schema_key_get_value_type(schemaKey.get()), change.value);
            if (!value)
                refused(change.schema->m_id, change.key);
        }
        values << dconf::Write{change.schema->path() + change.key, value};
    }
    dconf::write(values, dbus::timeoutMs());
}

} // namespace norvane
