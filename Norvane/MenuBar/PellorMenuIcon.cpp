#include "PellorMenuIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace norvane::PellorMenuIcon {

namespace {

QPointF onCircle(QPointF centre, qreal radius, qreal degrees) {
    const qreal radians = degrees * std::numbers::pi / 180.0;
    return centre + radius * QPointF(std::cos(radians), std::sin(radians));
}

} // namespace

void draw(QPainter &painter, qreal side, bool engaged, const QColor &color, const QColor &halo) {
    const qreal u = side / 1024.0;
    const QPointF centre(512 * u, 512 * u);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath dial;
    const int start = engaged ? 0 : 135;
    dial.moveTo(onCircle(centre, 390 * u, start));
    for (int degrees = start + 4; degrees <= 360; degrees += 4)
        dial.lineTo(onCircle(centre, 390 * u, degrees));
    const auto glyph = [&](const QColor &ink, qreal grow) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ink, (112 + 2 * grow) * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(dial);
        painter.setPen(QPen(ink, (96 + 2 * grow) * u, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre, centre + QPointF(190 * u, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(centre, (84 + grow) * u, (84 + grow) * u);
    };
    // The halo reaches the square's edge: the dial's outer edge lies at 446 of 512.
    if (halo.alpha() > 0)
        glyph(halo, 64);
    glyph(color, 0);
    painter.restore();
}

QColor haloFor(const QColor &ink) {
    return ink.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(0x14, 0x14, 0x14);
}

QImage image(bool engaged, int pixels, const QColor &color, const QColor &halo) {
    QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    draw(painter, pixels, engaged, color, halo);
    return result;
}

QIcon icon(bool engaged, const QColor &color) {
    QIcon result;
#ifdef Q_OS_MACOS
    const QColor ink = Qt::black;
    const QColor halo = Qt::transparent;
#else
    const QColor ink = color;
    const QColor halo = haloFor(color);
#endif
    for (const int pixels : {18, 22, 24, 32, 48}) {
        result.addPixmap(QPixmap::fromImage(image(engaged, pixels, ink, halo)));
    }
    QImage retina = image(engaged, 36, ink, halo);
    retina.setDevicePixelRatio(2.0);
    result.addPixmap(QPixmap::fromImage(retina));
#ifdef Q_OS_MACOS
    result.setIsMask(true);
#endif
    return result;
}

} // namespace norvane::PellorMenuIcon
