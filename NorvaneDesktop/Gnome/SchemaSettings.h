#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

struct _GSettings; // NOLINT(bugprone-reserved-identifier): GLib's own name

namespace norvane {

// The settings of one GSettings schema, opened only once the schema and every key Pellor uses
// are known to be installed (GLib ends the process on an unknown schema or key). Values travel as
// JSON values: numbers for the integer types, text for strings and enumerations, truth values for
// booleans.
class SchemaSettings {
public:
    // Throws ConfigurationError naming the schema or key that is not installed.
    SchemaSettings(const QString &id, const QStringList &keys);
    ~SchemaSettings();
    SchemaSettings(SchemaSettings &&other) noexcept;
    SchemaSettings &operator=(SchemaSettings &&) = delete;
    SchemaSettings(const SchemaSettings &) = delete;
    SchemaSettings &operator=(const SchemaSettings &) = delete;

    // Whether the schema and every key are installed, without opening anything.
    [[nodiscard]] static bool isInstalled(const QString &id, const QStringList &keys);

    [[nodiscard]] const QString &id() const { return m_id; }
    // The value in effect: the user's own, or the default.
    [[nodiscard]] QJsonValue value(const QString &key) const;
    // The user's own value; null while the key has its default.
    [[nodiscard]] QJsonValue userValue(const QString &key) const;
    [[nodiscard]] QJsonValue defaultValue(const QString &key) const;
    // False when an administrator has locked the key.
    [[nodiscard]] bool isWritable(const QString &key) const;
    // The value has the key's type and lies in its range (or is one of its choices).
    [[nodiscard]] bool accepts(const QString &key, const QJsonValue &value) const;
    // A key's new value; null gives the key its default back.
    struct Change {
        const SchemaSettings *schema;
        QString key;
        QJsonValue value;
    };
    // Writes the changes to the settings' store and returns once the store holds them, so that
    // every later reading finds them: through dconf's service, waiting for its answer for at most
    // the time limit of Pellor's calls (dbus::timeoutMs()), where GSettings keeps its values in
    // dconf; else through GSettings and its sync. Throws ConfigurationError when the store does
    // not answer in time or refuses a value.
    static void write(const QList<Change> &changes);

    [[nodiscard]] _GSettings *handle() const { return m_settings; }

private:
    // Where the schema keeps its keys in dconf ("/org/gnome/desktop/session/").
    [[nodiscard]] QString path() const;
    // Throws ConfigurationError when GSettings refuses the value.
    void set(const QString &key, const QJsonValue &value) const;

    QString m_id;
    _GSettings *m_settings = nullptr;
};

} // namespace norvane
