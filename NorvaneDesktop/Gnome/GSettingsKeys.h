#pragma once

#include "SchemaSettings.h"

#include <QHash>
#include <QJsonObject>
#include <vector>

namespace norvane {

// Keys of one or more GSettings schemas, the user's own settings of a desktop that keeps them in
// GSettings (GNOME and its family, Cinnamon, MATE), each named by its key alone (no two schemas
// of a set share a key name). Values are the keys' own, by key name; as native values of a
// configuration a key at its default is null, so that a restore gives it back its default rather
// than a copy of it.
class GSettingsKeys {
public:
    struct Schema {
        QString id;
        QStringList keys;
    };

    // Opens every schema; throws ConfigurationError naming a schema or key that is missing.
    explicit GSettingsKeys(const QList<Schema> &schemas);

    // Every schema and key is installed.
    [[nodiscard]] static bool isInstalled(const QList<Schema> &schemas);

    [[nodiscard]] const QStringList &keys() const { return m_keys; }
    // Every key's value in effect.
    [[nodiscard]] QJsonObject values() const;
    // Every key's value as the user set it; null for a key at its default.
    [[nodiscard]] QJsonObject userValues() const;
    [[nodiscard]] QJsonValue defaultValue(const QString &key) const;
    // Every key null: the native values of a new user's settings.
    [[nodiscard]] QJsonObject nothingSet() const;
    // The native values a restore of `backup` writes: its own, and the user's current ones for
    // keys it does not name (a backup made before Pellor knew them).
    [[nodiscard]] QJsonObject restoring(const QJsonObject &backup) const;
    // The values in effect under `native`: a null key has its default.
    [[nodiscard]] QJsonObject inEffect(const QJsonObject &native) const;

    // Sets the keys whose values differ (null: back to the default where the user set one).
    // Every key must take its value first: one locked by an administrator gives the
    // management-policy message, a value out of range the range message, a key not of this set
    // the invalid-settings message, and then nothing is written.
    void write(const QJsonObject &wanted) const;

private:
    [[nodiscard]] const SchemaSettings &schemaOf(const QString &key) const;

    std::vector<SchemaSettings> m_schemas;
    QHash<QString, qsizetype> m_schemaOf;
    QStringList m_keys;
};

} // namespace norvane
