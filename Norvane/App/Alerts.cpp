#include "Alerts.h"

#include "Localization/L10n.h"

#include <QMessageBox>

namespace norvane::Alerts {

void style(QMessageBox &box) {
    box.setStyleSheet(
        QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; font-size: 15px; }"
                       "QLabel#qt_msgbox_informativelabel { min-width: 340px; font-size: 13px; }"));
}

QMessageBox *show(QWidget *parent, const QString &title, const QString &message,
                  Qt::WindowModality modality) {
    auto *alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Pellor"), title,
                                  QMessageBox::NoButton, parent);
    alert->setInformativeText(message);
    style(*alert);
    alert->setDefaultButton(alert->addButton(L10n::text("OK"), QMessageBox::AcceptRole));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    // open() always makes a sheet of the window; an application-modal alert is shown instead.
    alert->setWindowModality(modality);
    if (modality == Qt::WindowModal)
        alert->open();
    else
        alert->show();
    return alert;
}

} // namespace norvane::Alerts
