#include "Contrast.h"

#include <algorithm>
#include <cmath>

namespace norvane::Contrast {

double luminance(const QColor &colour) {
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b) {
    const auto [dark, light] = std::minmax(luminance(a), luminance(b));
    return (light + 0.05) / (dark + 0.05);
}

QColor over(const QColor &top, const QColor &under) {
    const QColor t = top.toRgb();
    const QColor u = under.toRgb();
    const float a = t.alphaF();
    const auto mix = [a](float front, float back) { return front * a + back * (1 - a); };
    return QColor::fromRgbF(mix(t.redF(), u.redF()), mix(t.greenF(), u.greenF()),
                            mix(t.blueF(), u.blueF()));
}

QColor readable(const QColor &ink, const QColor &background, double minimum) {
    const QColor target = luminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    QColor colour = ink.toRgb();
    // Mixed in small steps, so the colour keeps as much of its hue as the contrast allows.
    for (int step = 0; step <= 50 && ratio(colour, background) < minimum; ++step) {
        const float f = float(step) / 50;
        colour = QColor::fromRgbF(ink.redF() * (1 - f) + target.redF() * f,
                                  ink.greenF() * (1 - f) + target.greenF() * f,
                                  ink.blueF() * (1 - f) + target.blueF() * f, ink.alphaF());
    }
    return colour;
}

} // namespace norvane::Contrast
