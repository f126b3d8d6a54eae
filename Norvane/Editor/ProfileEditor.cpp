#include "ProfileEditor.h"

#include "Components/Accessibility.h"
#include "Localization/L10n.h"

namespace norvane {

ProfileEditor::ProfileEditor(const std::optional<Profile> &profile, ProfileEditorModel::Save onSave,
                             std::optional<ProfileEditorModel::Delete> onDelete, Policy policy)
    : Sheet(contentSize),
      m_model(new ProfileEditorModel(profile, std::move(onSave), std::move(onDelete),
                                     std::move(policy), this)) {
    setObjectName(QStringLiteral("profileEditor"));
    Accessibility::setRole(*this, QAccessible::Dialog);
    setWindowTitle(profile ? L10n::text("Edit Profile") : L10n::text("New Profile"));
    host(QUrl(QString::fromLatin1(viewUrl)),
         {{QStringLiteral("editor"), QVariant::fromValue(m_model)}});
    m_model->onClose = [this] { endSheet(); };
}

} // namespace norvane
