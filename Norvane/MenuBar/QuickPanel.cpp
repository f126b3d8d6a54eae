#include "QuickPanel.h"

#include "Components/ViewHost.h"
#include "Localization/L10n.h"
#include "QuickPanelModel.h"

#include <QQuickItem>

namespace norvane {

QuickPanel::QuickPanel(QuickPanelModel *model, QWidget *parent) : QQuickWidget(parent) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setObjectName(QStringLiteral("quickPanel"));
    setAccessibleName(L10n::text("Pellor Quick Panel"));
    setFocusPolicy(Qt::StrongFocus);
    hostView(*this, QUrl(QString::fromLatin1(viewUrl)),
             {{QStringLiteral("panel"), QVariant::fromValue(model)}});
}

void QuickPanel::showEvent(QShowEvent *event) {
    QQuickWidget::showEvent(event);
    // The keyboard works at once: Up, Down, Return and Escape go to the panel.
    activateWindow();
    setFocus(Qt::PopupFocusReason);
    if (QQuickItem *root = rootObject())
        root->forceActiveFocus();
}

void QuickPanel::hideEvent(QHideEvent *event) {
    QQuickWidget::hideEvent(event);
    emit closed();
}

} // namespace norvane
