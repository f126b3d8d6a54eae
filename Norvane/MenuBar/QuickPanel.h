#pragma once

#include <QQuickWidget>

namespace norvane {

class QuickPanelModel;

// The quick panel's window: a frameless transient popup hosting QuickPanelView. It closes when
// the user clicks elsewhere, and reports every closing through closed().
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
};

} // namespace norvane
