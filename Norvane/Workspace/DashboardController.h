#pragma once

#include <QPointer>
#include <QQuickWidget>

class QMessageBox;

namespace norvane {

class WorkspaceModel;

// The main window's content: hosts WorkspaceView over one workspace model, forwards the
// application tick to it, owns the Apply shortcut and shows the model's error as an alert. The
// model outlives the view: the application releases the view of a closed window and makes a new
// one over the same model when the window opens again.
class DashboardController : public QQuickWidget {
    Q_OBJECT

public:
    explicit DashboardController(WorkspaceModel *model, QWidget *parent = nullptr);
    ~DashboardController() override;

    [[nodiscard]] WorkspaceModel *model() const { return m_model; }

    // Refreshes the model; the live status is read only while the view is on screen, and not
    // before its first frame is: that frame does not wait for the read's process to start.
    void refresh();

    // Whether a view in a window with `states` reads the live status: only when it is visible
    // and not minimized.
    [[nodiscard]] static bool readsSystem(bool visible, Qt::WindowStates states);

    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/workspace/WorkspaceView.qml";

protected:
    void customEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showError();
    // Marks the first frame as drawn once the window shows it.
    void awaitScreen();
    void postFirstFrameDrawn();

    WorkspaceModel *m_model;
    bool m_drawn = false; // the first frame has been drawn
    QPointer<QMessageBox> m_errorAlert;
};

} // namespace norvane
