// The smallest menu-bar utility for AppBench to compare Pellor against: a Qt Widgets program that
// shows only a status item (a system tray icon with a one-item menu) and no window. Prints its
// resident, private and proportional memory once it has settled, as one line of JSON, and exits.
#include "ProcessMemory.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

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
    QTimer::singleShot(4000, &application, [&application] {
        std::printf("%s\n", QJsonDocument(
                                QJsonObject{{"residentKiB", processMemory::statusKiB("VmRSS:")},
                                            {"anonKiB", processMemory::statusKiB("RssAnon:")},
                                            {"proportionalKiB", processMemory::proportionalKiB()}})
                                .toJson(QJsonDocument::Compact)
                                .constData());
        std::fflush(stdout);
        QApplication::quit();
    });
    return QApplication::exec();
}
