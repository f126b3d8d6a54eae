#pragma once

#include <QUrl>
#include <QVariantMap>

class QQmlEngine;
class QQuickWidget;

namespace norvane {

// Prepares a QML engine for the application's views: the module's import path, its types, the
// symbol images, and the accessibility adjustments of the view's widget.
void prepareEngine(QQmlEngine &engine);

// Loads the QML view at `url` into `host` with its required properties set at creation (the
// QQuickWidget of Qt 6.4 has no setInitialProperties()). The engine is prepared for the
// application's views first. Load errors are reported as warnings.
void hostView(QQuickWidget &host, const QUrl &url, const QVariantMap &properties);

} // namespace norvane
