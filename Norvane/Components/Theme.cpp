#include "Theme.h"

#include "Contrast.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace norvane {

namespace {

QColor withAlpha(QColor color, float alpha) {
    color.setAlphaF(alpha);
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

Theme::Colours Theme::colours(bool dark) {
    const QColor primary = dark ? QColor(0xf2, 0xf3, 0xf5) : QColor(0x1d, 0x1e, 0x22);
    return {
        .workspaceBackground = dark ? QColor::fromRgbF(0.115f, 0.12f, 0.135f)
                                    : QColor::fromRgbF(0.96f, 0.965f, 0.975f),
        .panelBackground = dark ? QColor::fromRgbF(0.16f, 0.165f, 0.18f) : QColor(Qt::white),
        .sidebarBackground = dark ? QColor::fromRgbF(0.135f, 0.14f, 0.155f)
                                  : QColor::fromRgbF(0.925f, 0.93f, 0.945f),
        .primary = primary,
        .secondary = withAlpha(primary, dark ? 0.70 : 0.72),
        .tertiary = withAlpha(primary, dark ? 0.62 : 0.64),
        .separator = withAlpha(primary, dark ? 0.14 : 0.10),
        .controlFill = withAlpha(primary, dark ? 0.09 : 0.05),
        .highlight = dark ? QColor(0x2b, 0x66, 0xd9) : QColor(0x2f, 0x6f, 0xe0),
        .focusRing = dark ? QColor(0x6c, 0xa8, 0xff) : QColor(0x2f, 0x6f, 0xe0),
        .warning = dark ? QColor(0xe8, 0x8a, 0x1a) : QColor(0xa8, 0x56, 0x00),
        .failure = dark ? QColor(0xff, 0x6b, 0x61) : QColor(0xc0, 0x39, 0x2b),
        .success = dark ? QColor::fromRgbF(0.20f, 0.74f, 0.36f) : QColor(0x1e, 0x8a, 0x3e),
        // Dims the hero's aurora under its texts where a bright band would outshine them.
        .heroScrim = dark ? withAlpha(QColor::fromRgbF(0.115f, 0.12f, 0.135f), 0.3)
                          : QColor(Qt::transparent),
    };
}

QColor Theme::accentFill(const QColor &accent, bool) {
    return Contrast::readable(accent, onAccent(), Contrast::text);
}

QColor Theme::badgeFill(const QColor &accent, bool dark) {
    return Contrast::over(withAlpha(accent, dark ? 0.26f : 0.16f), colours(dark).panelBackground);
}

QColor Theme::accentText(const QColor &accent, bool dark) {
    return Contrast::readable(accent, badgeFill(accent, dark), Contrast::text);
}

QColor Theme::accentSymbol(const QColor &accent, bool dark) {
    const Colours c = colours(dark);
    QColor ink = accent;
    for (const QColor &surface : {c.workspaceBackground, c.panelBackground, c.sidebarBackground}) {
        // The surface itself, under a selected row's tint and under a symbol tile's.
        for (const float tint : {0.0f, 0.16f, 0.28f})
            ink = Contrast::readable(ink, Contrast::over(withAlpha(accent, tint), surface),
                                     Contrast::graphics);
    }
    return ink;
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
