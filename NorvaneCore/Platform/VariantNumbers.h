#pragma once

#include <QVariant>
#include <optional>

// Reading numbers out of values that the platform delivers untyped (preference values, power
// source descriptions, assertion counts), and every conversion of an outside number to an integer.
// As with the Mac's number objects, booleans count as numbers.
namespace norvane {

// True for integers, floating-point numbers and booleans.
[[nodiscard]] bool isNumber(const QVariant &value);

// The value as a whole number, fractions cut off; none for non-numbers and for floating-point
// values that are not finite or do not fit.
[[nodiscard]] std::optional<qint64> integerValue(const QVariant &value);

// Range-checked conversions of floating-point numbers that came from outside: none for values
// that are not finite or do not fit in 64 bits. The whole part, fractions cut off:
[[nodiscard]] std::optional<qint64> truncatedInteger(double number);
// Rounded to the nearest whole number, halves away from zero:
[[nodiscard]] std::optional<qint64> roundedInteger(double number);

// Non-zero is true; none for non-numbers.
[[nodiscard]] std::optional<bool> truthValue(const QVariant &value);

} // namespace norvane
