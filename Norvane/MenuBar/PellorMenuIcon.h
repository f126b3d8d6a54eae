#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

class QPainter;

namespace norvane::PellorMenuIcon {

// The status item's image: a dial, a hand and a hub. The dial is a three-quarter arc, or a
// closed ring while a profile other than Normal is engaged.
//
// Draws on a square of side `side` whose origin is the top-left corner (y grows downwards). A
// `halo` that is not transparent outlines the glyph, so that it reads on a panel of any colour.
void draw(QPainter &painter, qreal side, bool engaged, const QColor &color = Qt::black,
          const QColor &halo = Qt::transparent);

// The outline for a glyph in `ink`: white around a dark ink, near-black around a light one.
[[nodiscard]] QColor haloFor(const QColor &ink);

// The image drawn on a transparent square of `pixels` × `pixels`.
[[nodiscard]] QImage image(bool engaged, int pixels, const QColor &color = Qt::black,
                           const QColor &halo = Qt::transparent);

// The status item's icon: 18 points, with sharper renderings for larger trays. On macOS the
// icon is black and marked as a mask so the menu bar tints it. Elsewhere the tray's colour is
// not known (a desktop theme Qt does not read, a dark panel under a light palette): the glyph is
// drawn in `color` with a halo of the opposite brightness, which reads on light and dark panels.
[[nodiscard]] QIcon icon(bool engaged, const QColor &color = Qt::black);

} // namespace norvane::PellorMenuIcon
