#include "QuickPanel.h"

#include "Components/Accessibility.h"
#include "Components/ViewHost.h"
#include "Localization/L10n.h"
#include "QuickPanelModel.h"

#include <QKeyEvent>

namespace norvane {

QuickPanel::QuickPanel(QuickPanelModel *model, QWidget *parent)
    : QQuickWidget(parent), m_model(model) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setObjectName(QStringLiteral("quickPanel"));
    // A screen reader meets it as a dialog: it takes the keyboard while it is open.
    Accessibility::setRole(*this, QAccessible::Dialog);
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
}

void QuickPanel::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        m_model->dismiss();
        break;
    case Qt::Key_Up:
        m_model->moveFocus(QuickPanelModel::Up);
        break;
    case Qt::Key_Down:
        m_model->moveFocus(QuickPanelModel::Down);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_model->activateFocused()) {
            QQuickWidget::keyPressEvent(event);
            return;
        }
        break;
    default:
        QQuickWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void QuickPanel::hideEvent(QHideEvent *event) {
    QQuickWidget::hideEvent(event);
    emit closed();
}

} // namespace norvane
