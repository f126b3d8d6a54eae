#pragma once

#include <QMainWindow>

namespace norvane {

// The workspace window. Closing only hides it; its frame is kept under
// "PellorRefinedWorkspaceV3" and restored at the next start. On a screen too small for its
// sizes (a high scale factor), the window takes the screen's available area and its content
// scrolls; it never opens out of reach.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr char frameKey[] = "PellorRefinedWorkspaceV3";
    static constexpr QSize defaultSize{980, 740};
    static constexpr QSize minimumFrameSize{900, 540};

    explicit MainWindow(QWidget *parent = nullptr);

    void saveFrame() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void restoreFrame();
};

} // namespace norvane
