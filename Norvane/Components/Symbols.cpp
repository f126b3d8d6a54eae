#include "Symbols.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace norvane::Symbols {

namespace {

QString hex(const QColor &color) {
    return QString::asprintf("%02x%02x%02x%02x", color.red(), color.green(), color.blue(),
                             color.alpha());
}

QColor fromHex(QStringView text) {
    bool ok = false;
    const uint rgba = text.toUInt(&ok, 16);
    if (!ok || text.size() != 8)
        return Qt::black;
    return QColor(int(rgba >> 24), int((rgba >> 16) & 0xff), int((rgba >> 8) & 0xff),
                  int(rgba & 0xff));
}

} // namespace

const QStringList &names() {
    static const QStringList list{
        // profile icons
        "leaf", "sparkles", "scope", "play.rectangle", "arrow.down.circle", "slider.horizontal.3",
        // workspace, hero and components
        "magnifyingglass", "plus", "gearshape", "display", "moon.zzz", "photo.on.rectangle",
        "timer", "bolt", "power", "ellipsis.circle", "chevron.up.chevron.down", "checkmark",
        // quick panel and settings window
        "checkmark.circle.fill", "powerplug", "powerplug.fill", "battery.0percent",
        "battery.25percent", "battery.50percent", "battery.75percent", "battery.100percent",
        "battery.100percent.bolt", "arrow.clockwise", "info.circle"};
    return list;
}

QString resourcePath(const QString &name) {
    if (!names().contains(name))
        return {};
    return QStringLiteral(":/qt/qml/Norvane/icons/%1.svg").arg(name);
}

QUrl imageUrl(const QString &name, const QColor &color) {
    return QUrl(QStringLiteral("image://%1/%2/%3")
                    .arg(QLatin1String(providerId), name, hex(color.toRgb())));
}

QImage render(const QString &name, const QColor &color, QSize size) {
    const QString path = resourcePath(name);
    if (path.isEmpty() || size.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = file.readAll();
    svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());

    QSvgRenderer renderer(svg);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(color.alphaF());
    renderer.render(&painter);
    return image;
}

} // namespace norvane::Symbols

namespace norvane {

SymbolImageProvider::SymbolImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage SymbolImageProvider::requestImage(const QString &id, QSize *size,
                                         const QSize &requestedSize) {
    const qsizetype slash = id.lastIndexOf(u'/');
    const QString name = id.left(slash);
    const QColor color = Symbols::fromHex(QStringView(id).sliced(slash + 1));
    const QSize target =
        requestedSize.isValid() && !requestedSize.isEmpty() ? requestedSize : QSize(24, 24);
    if (size)
        *size = target;
    return Symbols::render(name, color, target);
}

} // namespace norvane
