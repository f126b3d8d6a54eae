#pragma once

#include "ProfileEditorModel.h"

#include <QDialog>
#include <functional>
#include <optional>

class QQuickWidget;

namespace norvane {

// The profile editor's sheet: a window-modal dialog on the main window (a real sheet on macOS)
// hosting ProfileEditorView over a ProfileEditorModel. It ends after a successful save or
// delete, on Cancel and on Escape, and then calls onClose once.
class ProfileEditor : public QDialog {
    Q_OBJECT

public:
    // The size the sheet starts at; it grows taller with its content (a long error), within the
    // screen.
    static constexpr QSize contentSize{540, 570};
    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/editor/ProfileEditorView.qml";

    // `profile` none: a new profile. `onDelete` none: deletion is not offered. `policy`: the
    // administrator's, whose limits the times must keep.
    ProfileEditor(const std::optional<Profile> &profile, ProfileEditorModel::Save onSave,
                  std::optional<ProfileEditorModel::Delete> onDelete, Policy policy = {});

    [[nodiscard]] ProfileEditorModel *model() const { return m_model; }
    [[nodiscard]] QQuickWidget *view() const { return m_view; }

    // Begins the sheet on `window`. The editor deletes itself once the sheet has ended.
    void present(QWidget *window);

    // Called once the sheet has ended.
    std::function<void()> onClose;

public slots:
    // Escape and the window system's close request: the same as Cancel.
    void reject() override;

private:
    void endSheet();
    // Fits the sheet's height to its content: never below contentSize, never above the screen
    // nor, off macOS, the window's content it is laid over.
    void fitContent();

    QQuickWidget *m_view; // before the model: the view goes first when the sheet is deleted
    ProfileEditorModel *m_model;
    bool m_ended = false;
    std::optional<int> m_heightLimit; // the height of the window content the sheet lies in
};

} // namespace norvane
