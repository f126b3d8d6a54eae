#include "Theme.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace norvane {

namespace {

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

Theme::Theme(QObject *parent) : QObject(parent) {
    update();
    if (qApp)
        qApp->installEventFilter(this);
}

bool Theme::isDark(const QPalette &palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor Theme::workspaceBackground() const {
    return m_dark ? QColor::fromRgbF(0.115f, 0.12f, 0.135f)
                  : QColor::fromRgbF(0.96f, 0.965f, 0.975f);
}

QColor Theme::panelBackground() const {
    return m_dark ? QColor::fromRgbF(0.16f, 0.165f, 0.18f) : QColor(Qt::white);
}

QColor Theme::sidebarBackground() const {
    return m_dark ? QColor::fromRgbF(0.135f, 0.14f, 0.155f)
                  : QColor::fromRgbF(0.925f, 0.93f, 0.945f);
}

QColor Theme::primary() const {
    return m_dark ? QColor(0xf2, 0xf3, 0xf5) : QColor(0x1d, 0x1e, 0x22);
}

QColor Theme::secondary() const {
    return withAlpha(primary(), m_dark ? 0.62 : 0.58);
}

QColor Theme::tertiary() const {
    return withAlpha(primary(), m_dark ? 0.42 : 0.38);
}

QColor Theme::separator() const {
    return withAlpha(primary(), m_dark ? 0.14 : 0.10);
}

QColor Theme::controlFill() const {
    return withAlpha(primary(), m_dark ? 0.09 : 0.05);
}

QColor Theme::highlight() const {
    return m_dark ? QColor(0x3d, 0x7f, 0xf0) : QColor(0x2f, 0x6f, 0xe0);
}

QColor Theme::focusRing() const {
    return m_dark ? QColor(0x6c, 0xa8, 0xff) : QColor(0x2f, 0x6f, 0xe0);
}

bool Theme::eventFilter(QObject *watched, QEvent *event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        update();
    return QObject::eventFilter(watched, event);
}

void Theme::update() {
    const bool dark = isDark(QGuiApplication::palette());
    if (dark == m_dark)
        return;
    m_dark = dark;
    emit changed();
}

} // namespace norvane
