#pragma once

#include <Qt>

class QMessageBox;
class QString;
class QWidget;

namespace norvane::Alerts {

// Alerts and the about panel as the rest of Pellor looks: a bold title over a body wide enough
// to read in a few lines.
void style(QMessageBox &box);
// A warning with one OK button, deleted once closed: a sheet of `parent` when window-modal.
QMessageBox *show(QWidget *parent, const QString &title, const QString &message,
                  Qt::WindowModality modality);

} // namespace norvane::Alerts
