#include "MainWindow.h"

#include "Components/Accessibility.h"
#include "Components/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace norvane {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
    Accessibility::setRole(*this, QAccessible::Window);
    setWindowTitle(QStringLiteral("Pellor"));
    setMinimumSize(minimumFrameSize);
    restoreFrame();
    ScreenFit::fit(*this, minimumFrameSize);
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    ScreenFit::fit(*this, minimumFrameSize); // the frame's margins are known once it is shown
}

void MainWindow::saveFrame() const {
    QSettings().setValue(frameKey, saveGeometry());
}

void MainWindow::hideEvent(QHideEvent *event) {
    saveFrame();
    QMainWindow::hideEvent(event);
}

void MainWindow::moveEvent(QMoveEvent *event) {
    if (isVisible())
        saveFrame();
    QMainWindow::moveEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event) {
    if (isVisible())
        saveFrame();
    QMainWindow::resizeEvent(event);
}

void MainWindow::restoreFrame() {
    if (restoreGeometry(QSettings().value(frameKey).toByteArray()))
        return;
    resize(defaultSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), defaultSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace norvane
