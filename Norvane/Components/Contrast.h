#pragma once

#include <QColor>

// WCAG 2.1 contrast of colours as they are shown: a translucent colour is first laid over what
// lies under it.
namespace norvane::Contrast {

// Text of normal size, and large text, icons and focus rings.
constexpr double text = 4.5;
constexpr double graphics = 3.0;

// The relative luminance of the colour's opaque sRGB value.
[[nodiscard]] double luminance(const QColor &colour);
// From 1 (the same luminance) to 21 (black and white), either way round.
[[nodiscard]] double ratio(const QColor &a, const QColor &b);
// `top` laid over the opaque `under` by its opacity: the colour a person sees.
[[nodiscard]] QColor over(const QColor &top, const QColor &under);
// `ink` moved toward black on a light background, or toward white on a dark one, just as far as
// it must go to stand out against `background` by `minimum`.
[[nodiscard]] QColor readable(const QColor &ink, const QColor &background, double minimum);

} // namespace norvane::Contrast
