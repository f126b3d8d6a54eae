#pragma once

#include <QString>

// Titles are measured and shortened in user-perceived characters (grapheme clusters), so an
// emoji or an accented letter counts once and is never cut apart.
namespace norvane::graphemes {

[[nodiscard]] qsizetype count(const QString &text);

// The first `n` user-perceived characters of `text` (all of it when it is shorter; none for
// n <= 0).
[[nodiscard]] QString leading(const QString &text, qsizetype n);

} // namespace norvane::graphemes
