#pragma once

#include <QtGlobal>

#ifdef Q_OS_MACOS

#include <CoreFoundation/CoreFoundation.h>
#include <QVariant>
#include <QVariantMap>
#include <optional>

namespace norvane::cf {

// Holds one reference obtained under CoreFoundation's create/copy rule and releases it.
template <typename Ref> class Owned {
public:
    explicit Owned(Ref ref = nullptr) : m_ref(ref) {}
    ~Owned() {
        if (m_ref)
            CFRelease(m_ref);
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;

    [[nodiscard]] Ref get() const { return m_ref; }
    explicit operator bool() const { return m_ref != nullptr; }

private:
    Ref m_ref;
};

// A property-list value as a QVariant: strings, numbers (qint64 or double) and booleans; any other
// type gives an empty QVariant, which callers treat as "present but unusable".
QVariant toVariant(CFTypeRef value);

// A dictionary with string keys; none when the value is no dictionary or a key is not a string.
std::optional<QVariantMap> toVariantMap(CFTypeRef value);

// A new property-list object for a QVariant (string, bool, whole or floating-point number), or
// null for other types. The caller owns it.
CFPropertyListRef createPropertyList(const QVariant &value);

} // namespace norvane::cf

#endif
