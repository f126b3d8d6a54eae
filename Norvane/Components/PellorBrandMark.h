#pragma once

#include <QColor>
#include <QQuickPaintedItem>

namespace norvane {

// The brand mark: a dial with a gradient arc, a hand and a hub, drawn on a 1024 × 1024 grid
// scaled to the item in each axis.
class PellorBrandMark : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor primary READ primary WRITE setPrimary NOTIFY primaryChanged)

public:
    explicit PellorBrandMark(QQuickItem *parent = nullptr);

    [[nodiscard]] QColor primary() const { return m_primary; }
    void setPrimary(const QColor &primary);

    void paint(QPainter *painter) override;
    // The mark drawn at `size` pixels, for the window and about-panel icons.
    [[nodiscard]] static QImage image(int size, const QColor &primary);

signals:
    void primaryChanged();

private:
    static void draw(QPainter &painter, QSizeF size, const QColor &primary);

    QColor m_primary = Qt::black;
};

} // namespace norvane
