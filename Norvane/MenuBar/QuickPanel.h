#pragma once

#include <QQuickWidget>

namespace norvane {

class QuickPanelModel;

// The quick panel's window: a frameless transient popup hosting QuickPanelView. It closes when
// the user clicks elsewhere, and reports every closing through closed(). The panel's keys are
// handled here rather than in QML: a popup never becomes the focus window, so its scene would
// not see them.
class QuickPanel : public QQuickWidget {
    Q_OBJECT

public:
    explicit QuickPanel(QuickPanelModel *model, QWidget *parent = nullptr);

    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/menubar/QuickPanelView.qml";

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QuickPanelModel *m_model;
};

} // namespace norvane
