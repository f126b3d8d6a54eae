#include "StringCatalogue.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace norvane {

namespace {

std::optional<QHash<QString, QString>> readTable(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    QHash<QString, QString> table;
    table.reserve(object.size());
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        table.insert(it.key(), it.value().toString());
    }
    return table;
}

} // namespace

StringCatalogue StringCatalogue::load(const QString &bundlePath) {
    StringCatalogue catalogue;
    const QDir bundle(bundlePath);
    for (const QString &code : L10n::supportedLanguages()) {
        const QString path = bundle.filePath(code + QStringLiteral(".lproj/Localizable.json"));
        if (auto table = readTable(path))
            catalogue.m_tables.insert(code, *table);
    }
    return catalogue;
}

const QString *StringCatalogue::find(const QString &code, const QString &key) const {
    const auto table = m_tables.constFind(code);
    if (table == m_tables.cend())
        return nullptr;
    const auto entry = table->constFind(key);
    return entry == table->cend() ? nullptr : &entry.value();
}

QString StringCatalogue::text(const L10n::Message &message, const QString &code) const {
    const QString *english = find(QStringLiteral("en"), message.key);
    const QString *translated = find(code, message.key);
    const QString &looked = translated ? *translated : english ? *english : message.key;
    if (message.arguments.isEmpty())
        return looked;
    return L10n::substitute(looked, message.arguments);
}

} // namespace norvane
