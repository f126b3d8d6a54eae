#include "Application.h"

#include "Components/PellorBrandMark.h"
#include "Installation.h"
#include "SceneRenderer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

namespace norvane {

void configureApplication(QApplication &application) {
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Pellor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellor"));
    QApplication::setApplicationVersion(QStringLiteral(PELLOR_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(Installation::applicationId));
    // Closing the main window leaves the application (and its status item) running.
    QApplication::setQuitOnLastWindowClosed(false);
    SceneRenderer::configure();

    QIcon icon;
    for (const int size : {16, 32, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(PellorBrandMark::image(size, QColor(0x2a, 0x2d, 0x34))));
    QApplication::setWindowIcon(icon);
    Q_UNUSED(application)
}

std::optional<int> answerCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    // Qt's own options (-platform, -style, …) stay whole words, left to QApplication.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(version);
    (void)parser.parse(arguments); // an option it does not know is Qt's or a mistake Qt reports
    if (!parser.isSet(version))
        return std::nullopt;
    std::fputs("Pellor " PELLOR_VERSION "\n", stdout);
    std::fputs(qPrintable(SceneRenderer::describe(SceneRenderer::thisMachine()) + u'\n'), stdout);
    return 0;
}

} // namespace norvane
