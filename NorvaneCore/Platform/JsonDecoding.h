#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Strict JSON decoding: every required key present with its exact type, integers whole.
// Failures throw PlatformError with a plain description of what was wrong.
namespace norvane::json {

QJsonObject parseObject(const QByteArray &data);
QJsonObject asObject(const QJsonValue &value, QStringView context);

QString requireString(const QJsonObject &object, const QString &key);
qint64 requireInteger(const QJsonObject &object, const QString &key);
QJsonArray requireArray(const QJsonObject &object, const QString &key);
// An optional integer: absent (or null) gives none; any other non-integer fails.
std::optional<qint64> optionalInteger(const QJsonObject &object, const QString &key);

// A JSON document with sorted keys, pretty-printed.
QByteArray encodePretty(const QJsonObject &object);

} // namespace norvane::json
