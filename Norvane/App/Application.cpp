#include "Application.h"

#include "Components/PellorBrandMark.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

namespace norvane {

void configureApplication(QApplication &application) {
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Pellor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellor"));
    QApplication::setApplicationVersion(QStringLiteral(NORVANE_APP_VERSION));
    // Closing the main window leaves the application (and its status item) running.
    QApplication::setQuitOnLastWindowClosed(false);

    QIcon icon;
    for (const int size : {16, 32, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(PellorBrandMark::image(size, QColor(0x2a, 0x2d, 0x34))));
    QApplication::setWindowIcon(icon);
    Q_UNUSED(application)
}

} // namespace norvane
