#include "SettingsWindow.h"

#include "Components/Accessibility.h"
#include "Components/ScreenFit.h"
#include "Components/ViewHost.h"
#include "Localization/L10n.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QQuickWidget>
#include <QScreen>
#include <QVBoxLayout>

namespace norvane {

SettingsWindow::SettingsWindow(SettingsModel *model, SleepDiagnosisModel *diagnosis,
                               QWidget *parent)
    : QWidget(parent, Qt::Window), m_view(new QQuickWidget(this)), m_model(model),
      m_diagnosis(diagnosis) {
    setObjectName(QStringLiteral("settingsWindow"));
    Accessibility::setRole(*this, QAccessible::Window);
    setWindowTitle(L10n::text("Current System Configuration"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    hostView(*m_view, QUrl(QString::fromLatin1(viewUrl)),
             {{QStringLiteral("settings"), QVariant::fromValue(m_model)},
              {QStringLiteral("diagnosis"), QVariant::fromValue(m_diagnosis)}});
    setMinimumSize(minimumContentSize);
    resize(contentSize);
    centre();
    ScreenFit::fit(*this, minimumContentSize);
}

void SettingsWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsWindow::centre() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace norvane
