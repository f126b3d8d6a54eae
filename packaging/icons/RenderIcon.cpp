// Renders the application icon's SVG into PNG files of the given sizes, at build time, with
// Qt's own SVG renderer (no other tool needed):
//   RenderIcon <icon.svg> <size>=<out.png> [<size>=<out.png> …]
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: RenderIcon <icon.svg> <size>=<out.png> …\n", stderr);
        return 2;
    }
    QSvgRenderer svg(arguments[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "RenderIcon: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    for (const QString &request : arguments.mid(2)) {
        bool ok = false;
        const int size = request.section(u'=', 0, 0).toInt(&ok);
        const QString output = request.section(u'=', 1);
        if (!ok || size <= 0 || output.isEmpty()) {
            std::fprintf(stderr, "RenderIcon: bad request %s\n", qPrintable(request));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        QDir().mkpath(QFileInfo(output).path());
        if (!image.save(output, "PNG")) {
            std::fprintf(stderr, "RenderIcon: cannot write %s\n", qPrintable(output));
            return 1;
        }
    }
    return 0;
}
