#pragma once

#include <QDialog>
#include <QVariantMap>
#include <functional>
#include <optional>

class QQuickWidget;

namespace norvane {

// A sheet on a window: a window-modal dialog hanging from the top of the window's content (a real
// sheet on macOS) that hosts one QML view. It ends when its model says so, and on Escape and the
// window system's close request it asks its model to cancel; then it calls onClose once.
class Sheet : public QDialog {
    Q_OBJECT

public:
    // Begins the sheet on `window`. The sheet deletes itself once it has ended.
    void present(QWidget *window);

    [[nodiscard]] QQuickWidget *view() const { return m_view; }

    // Called once the sheet has ended.
    std::function<void()> onClose;

public slots:
    void reject() override;

protected:
    // `contentSize`: the size it starts at; it grows taller with its content, within the screen.
    explicit Sheet(QSize contentSize);

    // Shows the view at `url` with these initial properties.
    void host(const QUrl &url, const QVariantMap &properties);
    // Ends the sheet: what its model calls once saved or cancelled.
    void endSheet();
    // Escape and the close request: the model's Cancel, which ends the sheet.
    virtual void cancel() = 0;

private:
    // Fits the sheet's height to its content: never below contentSize, never above the screen
    // nor, off macOS, the window's content it is laid over.
    void fitContent();

    QSize m_contentSize;
    QQuickWidget *m_view;
    bool m_ended = false;
    std::optional<int> m_heightLimit; // the height of the window content the sheet lies in
};

} // namespace norvane
