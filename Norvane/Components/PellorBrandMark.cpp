#include "PellorBrandMark.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace norvane {

PellorBrandMark::PellorBrandMark(QQuickItem *parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void PellorBrandMark::setPrimary(const QColor &primary) {
    if (m_primary == primary)
        return;
    m_primary = primary;
    emit primaryChanged();
    update();
}

void PellorBrandMark::paint(QPainter *painter) {
    draw(*painter, size(), m_primary);
}

QImage PellorBrandMark::image(int size, const QColor &primary) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter, QSizeF(size, size), primary);
    return image;
}

void PellorBrandMark::draw(QPainter &painter, QSizeF size, const QColor &primary) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 1024.0, size.height() / 1024.0);
    const QRectF circle(242, 242, 540, 540); // the ring's centre line

    QColor track = primary;
    track.setAlphaF(0.14f);
    painter.setPen(QPen(track, 72, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);

    // Five eighths of the ring, clockwise from the lower left to the right, as Bézier arcs: a
    // polyline of one-degree steps, each with a round join, took five times as long to stroke
    // (the window icon draws it at five sizes before the first frame).
    QPainterPath arc;
    arc.arcMoveTo(circle, 225);
    arc.arcTo(circle, 225, -225);
    QLinearGradient gradient(QPointF(290, 740), QPointF(800, 300));
    gradient.setColorAt(0.0, QColor::fromRgbF(0.25f, 0.88f, 0.63f));
    gradient.setColorAt(0.5, QColor::fromRgbF(0.31f, 0.55f, 1.0f));
    gradient.setColorAt(1.0, QColor::fromRgbF(0.71f, 0.55f, 1.0f));
    painter.setPen(QPen(QBrush(gradient), 72, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arc);

    painter.setPen(QPen(primary, 40, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(512, 512), QPointF(690, 512));

    painter.setPen(Qt::NoPen);
    painter.setBrush(primary);
    painter.drawEllipse(QRectF(450, 450, 124, 124));
}

} // namespace norvane
