#include "Application.h"

#include "Components/PellorBrandMark.h"
#include "Installation.h"
#include "Localization/L10n.h"
#include "SceneRenderer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

namespace norvane {

using namespace Qt::StringLiterals;

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

namespace {

const char *const kLoginHelp =
    L10n::noop("Start in the status item, without the window, as Open at Login does.");

// Runs `print` in the user's language: the string tables are found beside the executable, which
// only an application object knows; one of Qt Core needs no display.
template <typename Print> void inUserLanguage(const QStringList &arguments, Print print) {
    QByteArray program = arguments.value(0, QStringLiteral("pellor")).toLocal8Bit();
    int argc = 1;
    char *argv[] = {program.data(), nullptr};
    const QCoreApplication core(argc, argv);
    print();
}

void printHelp() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        L10n::text("Switch power and display settings between named profiles.") + u'\n' +
        L10n::text(
            "Starting pellor while it runs brings its window back. From a shell or a script, use pellorctl."));
    parser.addOption({{u"h"_s, u"help"_s}, L10n::text("Show this help.")});
    parser.addOption({{u"v"_s, u"version"_s}, L10n::text("Show the version.")});
    parser.addOption({u"login"_s, L10n::text(kLoginHelp)});
    QString text = parser.helpText();
    const qsizetype end = text.indexOf(u'\n');
    text.replace(0, end,
                 text.left(end).replace(QCoreApplication::arguments().constFirst(), u"pellor"_s));
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

std::optional<int> answerCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    // Qt's own options (-platform, -style, …) stay whole words, left to QApplication.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(version);
    parser.addOption(help);
    (void)parser.parse(arguments); // an option it does not know is Qt's or a mistake Qt reports
    if (parser.isSet(version)) {
        // The renderer too, so that a bug report carries it.
        inUserLanguage(arguments, [] {
            std::fputs("Pellor " PELLOR_VERSION "\n", stdout);
            std::fputs(qPrintable(SceneRenderer::describe(SceneRenderer::thisMachine()) + u'\n'),
                       stdout);
        });
        return 0;
    }
    if (!parser.isSet(help))
        return std::nullopt;
    inUserLanguage(arguments, printHelp);
    return 0;
}

bool openedAtLogin(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption login(u"login"_s);
    parser.addOption(login);
    (void)parser.parse(arguments);
    return parser.isSet(login);
}

} // namespace norvane
