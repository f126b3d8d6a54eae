#include "JsonDecoding.h"

#include "Platform/ConfigurationError.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>

namespace norvane::json {

namespace {

[[noreturn]] void fail(const QString &description) {
    throw PlatformError(description);
}

QJsonValue require(const QJsonObject &object, const QString &key) {
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        fail(QStringLiteral("The data couldn’t be read because the key \"%1\" is missing.")
                 .arg(key));
    return it.value();
}

[[noreturn]] void wrongType(const QString &key, const char *expected) {
    fail(QStringLiteral("The data couldn’t be read because the value of \"%1\" is not %2.")
             .arg(key, QLatin1String(expected)));
}

std::optional<qint64> wholeNumber(const QJsonValue &value) {
    if (!value.isDouble())
        return std::nullopt;
    // toInteger() is exact for integers parsed from text and rejects fractions; a sentinel that
    // differs between two calls tells "not representable" apart from a real value.
    constexpr qint64 sentinel = std::numeric_limits<qint64>::min();
    const qint64 result = value.toInteger(sentinel);
    if (result == sentinel && value.toInteger(0) != sentinel)
        return std::nullopt;
    return result;
}

} // namespace

QJsonObject parseObject(const QByteArray &data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        fail(QStringLiteral(
                 "The data couldn’t be read because it isn’t valid JSON (%1 at offset %2).")
                 .arg(error.errorString())
                 .arg(error.offset));
    if (!document.isObject())
        fail(QStringLiteral("The data couldn’t be read because it is not a JSON object."));
    return document.object();
}

QJsonObject asObject(const QJsonValue &value, QStringView context) {
    if (!value.isObject())
        fail(
            QStringLiteral("The data couldn’t be read because an entry of \"%1\" is not an object.")
                .arg(context));
    return value.toObject();
}

QString requireString(const QJsonObject &object, const QString &key) {
    const QJsonValue value = require(object, key);
    if (!value.isString())
        wrongType(key, "a string");
    return value.toString();
}

qint64 requireInteger(const QJsonObject &object, const QString &key) {
    const auto number = wholeNumber(require(object, key));
    if (!number)
        wrongType(key, "a whole number");
    return *number;
}

QJsonArray requireArray(const QJsonObject &object, const QString &key) {
    const QJsonValue value = require(object, key);
    if (!value.isArray())
        wrongType(key, "an array");
    return value.toArray();
}

std::optional<qint64> optionalInteger(const QJsonObject &object, const QString &key) {
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it->isNull())
        return std::nullopt;
    const auto number = wholeNumber(*it);
    if (!number)
        wrongType(key, "a whole number");
    return number;
}

QByteArray encodePretty(const QJsonObject &object) {
    // QJsonObject keeps its keys sorted, so the output is sorted at every level.
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace norvane::json
