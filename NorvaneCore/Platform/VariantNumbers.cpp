#include "VariantNumbers.h"

#include <cmath>
#include <limits>

namespace norvane {

namespace {

bool isFloatingPoint(const QVariant &value) {
    const int type = value.typeId();
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

std::optional<qint64> truncatedInteger(double number) {
    number = std::trunc(number);
    // -2^63 and 2^63 are exactly representable; everything in between converts without overflow.
    if (!std::isfinite(number) || number < -9223372036854775808.0 ||
        number >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<qint64> roundedInteger(double number) {
    return truncatedInteger(std::round(number));
}

bool isNumber(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

std::optional<qint64> integerValue(const QVariant &value) {
    if (!isNumber(value))
        return std::nullopt;
    if (isFloatingPoint(value))
        return truncatedInteger(value.toDouble());
    if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong) {
        const qulonglong number = value.toULongLong();
        if (number > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(number);
    }
    return value.toLongLong();
}

std::optional<bool> truthValue(const QVariant &value) {
    if (!isNumber(value))
        return std::nullopt;
    if (isFloatingPoint(value))
        return value.toDouble() != 0.0;
    if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong)
        return value.toULongLong() != 0;
    return value.toLongLong() != 0;
}

} // namespace norvane
