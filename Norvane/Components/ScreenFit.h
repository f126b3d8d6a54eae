#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps a window within reach on a screen too small for its sizes (a high scale factor, a small
// display): its minimum and its size shrink to the screen's available area, and it is moved so
// that its frame, title bar first, lies on the screen. Its content then scrolls.
namespace norvane::ScreenFit {

// `wanted` (a size without the frame) within `available` less the frame's margins.
[[nodiscard]] QSize fitted(QSize wanted, QSize available, QMargins frame);

// The top left that puts `frame` inside `available`: moved as little as possible, and at the
// top left of `available` where it is larger.
[[nodiscard]] QPoint placed(QRect frame, const QRect &available);

// Applies both to `window` on its screen, with `minimum` as the minimum size it would have on a
// screen large enough. Before the window is shown its frame is not known, and a title bar and
// thin borders are assumed.
void fit(QWidget &window, QSize minimum);

} // namespace norvane::ScreenFit
