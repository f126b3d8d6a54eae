#include "HeroBackdrop.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace norvane::HeroBackdrop {

namespace {

using Rgb = std::array<double, 3>;

Rgb mix(const Rgb &a, const Rgb &b, double t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

// The shader's hue rotation: about the grey axis, by `angle` radians.
Rgb rotateHue(const Rgb &c, double angle) {
    const double k = 1.0 / std::sqrt(3.0);
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const double along = k * (c[0] + c[1] + c[2]) * (1.0 - cosine);
    const Rgb cross{k * (c[2] - c[1]), k * (c[0] - c[2]), k * (c[1] - c[0])};
    Rgb rotated;
    for (int i = 0; i < 3; ++i)
        rotated[i] = c[i] * cosine + cross[i] * sine + k * along;
    return rotated;
}

QColor colour(const Rgb &c) {
    return QColor::fromRgbF(float(std::clamp(c[0], 0.0, 1.0)), float(std::clamp(c[1], 0.0, 1.0)),
                            float(std::clamp(c[2], 0.0, 1.0)));
}

} // namespace

QList<QColor> bands(const QColor &accent, double family, double energy, bool dark) {
    // The same base, hues, strength and band centres as the aurora; its shimmer, 0.6 to 1.0,
    // at its mean.
    const Rgb base = dark ? Rgb{0.10, 0.105, 0.12} : Rgb{0.972, 0.976, 0.984};
    const Rgb tint{accent.redF(), accent.greenF(), accent.blueF()};
    const std::array<Rgb, 3> hues{tint, rotateHue(tint, 0.55 + family * 0.32),
                                  rotateHue(tint, -0.45 - family * 0.21)};
    const double strength = (0.20 + 0.36 * energy) * (dark ? 1.15 : 0.85) * 0.8;
    QList<QColor> stops;
    for (int stop = 0; stop < bandStops; ++stop) {
        const double y = double(stop) / (bandStops - 1);
        Rgb c = base;
        for (int i = 0; i < 3; ++i) {
            const double d = (y - (0.30 + 0.22 * i)) * (5.0 - 1.8 * energy);
            c = mix(c, hues[i], std::exp(-d * d) * strength);
        }
        stops << colour(c);
    }
    return stops;
}

QColor glow(const QColor &accent, double energy) {
    QColor c = accent;
    c.setAlphaF(float(0.08 + 0.10 * energy));
    return c;
}

} // namespace norvane::HeroBackdrop
