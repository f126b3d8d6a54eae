// The smallest menu-bar utility for AppBench to compare Pellor against: a Qt Widgets program that
// shows only a status item (a system tray icon with a one-item menu) and no window. Prints its
// resident memory once it has settled, as one line of JSON, and exits.
#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

namespace {

qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap image(22, 22);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawEllipse(QRectF(3, 3, 16, 16));
    }
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &application, &QCoreApplication::quit);
    QSystemTrayIcon item{QIcon(image)};
    item.setToolTip(QStringLiteral("Status item"));
    item.setContextMenu(&menu);
    item.show();
    // The same settling time AppBenchHost gives Pellor after closing its windows.
    QTimer::singleShot(3000, &application, [&application] {
        std::printf("%s\n", QJsonDocument(QJsonObject{{"residentKiB", residentKiB()}})
                                .toJson(QJsonDocument::Compact)
                                .constData());
        std::fflush(stdout);
        application.quit();
    });
    return QApplication::exec();
}
