#include "ViewHost.h"

#include "Workspace/DashboardController.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWidget>

namespace norvane {

void hostView(QQuickWidget &host, const QUrl &url, const QVariantMap &properties) {
    prepareEngine(*host.engine());
    host.setResizeMode(QQuickWidget::SizeRootObjectToView);
    auto *component = new QQmlComponent(host.engine(), url, &host);
    QObject *root =
        component->createWithInitialProperties(properties, host.engine()->rootContext());
    for (const QQmlError &error : component->errors())
        qWarning("%s", qPrintable(error.toString()));
    host.setContent(url, component, root);
}

} // namespace norvane
