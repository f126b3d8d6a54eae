#pragma once

#include <QHashFunctions>
#include <QString>
#include <array>
#include <optional>

namespace norvane {

// The icon of a profile; it also picks the profile's accent colour in the application.
class ProfileIcon {
public:
    enum Value { leaf, sparkles, focus, presentation, download, sliders };

    constexpr ProfileIcon(Value value) : m_value(value) {} // NOLINT: enum-like value

    // Construction from the stored raw value; none outside the six known values.
    static std::optional<ProfileIcon> fromRawValue(QStringView rawValue);
    static const std::array<ProfileIcon, 6> &allCases();

    [[nodiscard]] constexpr Value value() const { return m_value; }
    [[nodiscard]] QString rawValue() const;
    // The name of the system symbol image that shows this icon.
    [[nodiscard]] QString symbol() const;
    // The icon's name in the current language, shown where icons are offered for choice.
    [[nodiscard]] QString title() const;

    friend constexpr bool operator==(ProfileIcon, ProfileIcon) = default;

private:
    Value m_value;
};

inline size_t qHash(ProfileIcon icon, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(icon.value()), seed);
}

} // namespace norvane
