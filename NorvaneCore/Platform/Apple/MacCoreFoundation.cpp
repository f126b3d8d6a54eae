#include "MacCoreFoundation.h"

#ifdef Q_OS_MACOS

#include "Platform/VariantNumbers.h"

#include <QString>
#include <vector>

namespace norvane::cf {

QVariant toVariant(CFTypeRef value) {
    if (!value)
        return {};
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID())
        return QString::fromCFString(static_cast<CFStringRef>(value));
    if (type == CFBooleanGetTypeID())
        return bool(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        const auto number = static_cast<CFNumberRef>(value);
        if (CFNumberIsFloatType(number)) {
            double result = 0;
            CFNumberGetValue(number, kCFNumberDoubleType, &result);
            return result;
        }
        qint64 result = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &result);
        return QVariant::fromValue(result);
    }
    return {};
}

std::optional<QVariantMap> toVariantMap(CFTypeRef value) {
    if (!value || CFGetTypeID(value) != CFDictionaryGetTypeID())
        return std::nullopt;
    const auto dictionary = static_cast<CFDictionaryRef>(value);
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void *> keys(size_t(count)), values(size_t(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    QVariantMap map;
    for (CFIndex i = 0; i < count; ++i) {
        if (!keys[i] || CFGetTypeID(keys[i]) != CFStringGetTypeID())
            return std::nullopt;
        map.insert(QString::fromCFString(static_cast<CFStringRef>(keys[i])), toVariant(values[i]));
    }
    return map;
}

CFPropertyListRef createPropertyList(const QVariant &value) {
    if (value.typeId() == QMetaType::QString)
        return value.toString().toCFString();
    if (value.typeId() == QMetaType::Bool)
        return CFRetain(value.toBool() ? kCFBooleanTrue : kCFBooleanFalse);
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double number = value.toDouble();
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &number);
    }
    if (const auto number = integerValue(value)) {
        const qint64 whole = *number;
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &whole);
    }
    return nullptr;
}

} // namespace norvane::cf

#endif
