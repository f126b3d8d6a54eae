#pragma once

#include <QColor>
#include <QList>

namespace norvane::HeroBackdrop {

// The hero's backdrop where the aurora cannot run (no GPU, no shader, Reduce Transparency): the
// aurora at rest, as a still gradient. From top to bottom, the aurora's light or dark base with
// its three bands in the accent and the two neighbouring hues of the profile's family, as strong
// as the profile is lively; and, over it from left to right, the accent's glow towards the
// trailing edge.

// The colours of the vertical gradient, at the positions i / (count - 1).
constexpr int bandStops = 9;
[[nodiscard]] QList<QColor> bands(const QColor &accent, double family, double energy, bool dark);

// The glow's colour at the trailing edge: the accent, translucent.
[[nodiscard]] QColor glow(const QColor &accent, double energy);

} // namespace norvane::HeroBackdrop
