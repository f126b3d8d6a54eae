#pragma once

#include <QColor>
#include <QObject>
#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QStringList>
#include <QUrl>

namespace norvane {

// The application's own images for the system symbol names the views use ("leaf", "moon.zzz",
// …). Each is a 24-point SVG drawn in `currentColor`, so one file serves every tint.
namespace Symbols {

// Every symbol name that has an image.
[[nodiscard]] const QStringList &names();
// The resource path of the symbol's SVG, or empty for an unknown name.
[[nodiscard]] QString resourcePath(const QString &name);
// The URL under which the symbol image provider serves the symbol in `color`.
[[nodiscard]] QUrl imageUrl(const QString &name, const QColor &color);
// The symbol's SVG rendered in `color` at `size` device pixels; a null image for an unknown
// name.
[[nodiscard]] QImage render(const QString &name, const QColor &color, QSize size);

inline constexpr char providerId[] = "symbol";

} // namespace Symbols

// Serves "image://symbol/<name>/<rrggbbaa>" as the tinted symbol.
class SymbolImageProvider final : public QQuickImageProvider {
public:
    SymbolImageProvider();
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};

// QML's view of the symbols: Symbols.url("leaf", color).
class SymbolCatalog : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON

public:
    using QObject::QObject;
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): QML calls it on the instance.
    [[nodiscard]] Q_INVOKABLE QUrl url(const QString &name, const QColor &color) const {
        return Symbols::imageUrl(name, color);
    }
};

} // namespace norvane
