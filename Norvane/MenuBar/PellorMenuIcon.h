#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

class QPainter;

namespace norvane::PellorMenuIcon {

// The status item's image: a dial, a hand and a hub. The dial is a three-quarter arc, or a
// closed ring while a profile other than Normal is engaged.
//
// Draws on a square of side `side` whose origin is the top-left corner (y grows downwards).
void draw(QPainter &painter, qreal side, bool engaged, const QColor &color = Qt::black);

// The image drawn on a transparent square of `pixels` × `pixels`.
[[nodiscard]] QImage image(bool engaged, int pixels, const QColor &color = Qt::black);

// The status item's icon: 18 points, with sharper renderings for larger trays. On macOS the
// icon is black and marked as a mask so the menu bar tints it; elsewhere it is drawn in `color`.
[[nodiscard]] QIcon icon(bool engaged, const QColor &color = Qt::black);

} // namespace norvane::PellorMenuIcon
