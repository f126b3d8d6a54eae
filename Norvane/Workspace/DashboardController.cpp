#include "DashboardController.h"

#include "Components/Accessibility.h"
#include "Components/IdleIncubationController.h"
#include "Components/ViewHost.h"
#include "Localization/L10n.h"
#include "WorkspaceModel.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QShortcut>
#include <QWindow>

namespace norvane {

namespace {

// Posted once the scene has drawn its first frame.
const QEvent::Type firstFrameDrawn = QEvent::Type(QEvent::registerEventType());

} // namespace

DashboardController::DashboardController(WorkspaceModel *model, QWidget *parent)
    : QQuickWidget(parent), m_model(model) {
    prepareEngine(*engine());
    Accessibility::followFocus(*this);
    // The parts of the workspace view behind asynchronous Loaders come after the first frame.
    engine()->setIncubationController(new IdleIncubationController(engine()));
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    // QQuickWidget of Qt 6.4 has no setInitialProperties(): create the root the same way.
    const QUrl url(QString::fromLatin1(viewUrl));
    auto *component = new QQmlComponent(engine(), url, this);
    QObject *root = component->createWithInitialProperties(
        {{QStringLiteral("workspace"), QVariant::fromValue(m_model)}}, engine()->rootContext());
    for (const QQmlError &error : component->errors())
        qWarning("%s", qPrintable(error.toString()));
    setContent(url, component, root);

    // Command-Return (Ctrl-Return elsewhere) applies the selected profile; the model ignores
    // it while an apply is running.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *shortcut =
            new QShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, key)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_model, &WorkspaceModel::apply);
    }
    connect(m_model, &WorkspaceModel::errorChanged, this, &DashboardController::showError);

    connect(quickWindow(), &QQuickWindow::afterRendering, this, &DashboardController::awaitScreen,
            Qt::SingleShotConnection);
}

DashboardController::~DashboardController() = default;

// The scene is first drawn while the window is being shown, before the window is on the screen:
// the frame reaches the screen when the window is exposed.
void DashboardController::awaitScreen() {
    QWindow *topLevel = window()->windowHandle();
    if (topLevel && !topLevel->isExposed())
        topLevel->installEventFilter(this);
    else
        postFirstFrameDrawn();
}

bool DashboardController::eventFilter(QObject *watched, QEvent *event) {
    const QWindow *topLevel = window()->windowHandle();
    if (event->type() == QEvent::Expose && watched == topLevel && topLevel->isExposed()) {
        watched->removeEventFilter(this);
        postFirstFrameDrawn();
    }
    return QQuickWidget::eventFilter(watched, event);
}

// At low priority the event queues behind the window's flush of the frame, so the first live
// read starts after the frame is on the screen.
void DashboardController::postFirstFrameDrawn() {
    QCoreApplication::postEvent(this, new QEvent(firstFrameDrawn), Qt::LowEventPriority);
}

void DashboardController::refresh() {
    m_model->refresh(m_drawn && readsSystem(isVisible(), window()->windowState()));
}

void DashboardController::customEvent(QEvent *event) {
    if (event->type() != firstFrameDrawn)
        return QQuickWidget::customEvent(event);
    m_drawn = true;
    refresh();
}

bool DashboardController::readsSystem(bool visible, Qt::WindowStates states) {
    return visible && !states.testFlag(Qt::WindowMinimized);
}

void DashboardController::showError() {
    const QString message = m_model->errorText();
    if (m_errorAlert) {
        m_errorAlert->setInformativeText(message); // empty when the error went away meanwhile
        return;
    }
    if (!m_model->error())
        return;
    auto *alert =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Pellor"),
                        L10n::text("Could Not Save Profile"), QMessageBox::NoButton, window());
    alert->setObjectName(QStringLiteral("profileErrorAlert"));
    alert->setInformativeText(message);
    alert->addButton(L10n::text("OK"), QMessageBox::RejectRole);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    connect(alert, &QMessageBox::finished, m_model, &WorkspaceModel::dismissError);
    m_errorAlert = alert;
    alert->open();
}

} // namespace norvane
