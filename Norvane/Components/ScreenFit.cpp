#include "ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace norvane::ScreenFit {

QSize fitted(QSize wanted, QSize available, QMargins frame) {
    return wanted.boundedTo(available.shrunkBy(frame).expandedTo(QSize(1, 1)));
}

QPoint placed(QRect frame, const QRect &available) {
    frame.moveLeft(
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width())));
    frame.moveTop(
        std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height())));
    return frame.topLeft();
}

void fit(QWidget &window, QSize minimum) {
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    const QMargins frame =
        window.isVisible() && outer != inner
            ? QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom())
            : QMargins(4, 30, 4, 4);
    window.setMinimumSize(fitted(minimum, available.size(), frame));
    window.resize(fitted(window.size(), available.size(), frame));
    const QRect wanted(outer.topLeft(), window.size().grownBy(frame));
    if (const QPoint corner = placed(wanted, available); corner != wanted.topLeft())
        window.move(corner);
}

} // namespace norvane::ScreenFit
