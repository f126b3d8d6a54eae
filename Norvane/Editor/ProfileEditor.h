#pragma once

#include "Components/Sheet.h"
#include "ProfileEditorModel.h"

namespace norvane {

// The profile editor's sheet on the main window, hosting ProfileEditorView over a
// ProfileEditorModel. It ends after a successful save or delete, on Cancel and on Escape.
class ProfileEditor : public Sheet {
    Q_OBJECT

public:
    // The size the sheet starts at; it grows taller with its content (a long error).
    static constexpr QSize contentSize{540, 570};
    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/editor/ProfileEditorView.qml";

    // `profile` none: a new profile. `onDelete` none: deletion is not offered. `policy`: the
    // administrator's, whose limits the times must keep.
    ProfileEditor(const std::optional<Profile> &profile, ProfileEditorModel::Save onSave,
                  std::optional<ProfileEditorModel::Delete> onDelete, Policy policy = {});

    [[nodiscard]] ProfileEditorModel *model() const { return m_model; }

protected:
    void cancel() override { m_model->cancel(); }

private:
    ProfileEditorModel *m_model;
};

} // namespace norvane
