#include "ProfileEditor.h"

#include "Components/ViewHost.h"
#include "Localization/L10n.h"

#include <QQuickWidget>
#include <QVBoxLayout>

namespace norvane {

ProfileEditor::ProfileEditor(const std::optional<Profile> &profile, ProfileEditorModel::Save onSave,
                             std::optional<ProfileEditorModel::Delete> onDelete)
    : m_view(new QQuickWidget(this)),
      m_model(new ProfileEditorModel(profile, std::move(onSave), std::move(onDelete), this)) {
    setObjectName(QStringLiteral("profileEditor"));
    setWindowTitle(profile ? L10n::text("Edit Profile") : L10n::text("New Profile"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    hostView(*m_view, QUrl(QString::fromLatin1(viewUrl)),
             {{QStringLiteral("editor"), QVariant::fromValue(m_model)}});
    setFocusProxy(m_view);

    m_model->onClose = [this] { endSheet(); };
    connect(this, &QDialog::finished, this, [this] {
        if (onClose)
            std::exchange(onClose, nullptr)();
    });
}

void ProfileEditor::present(QWidget *window) {
    // A titled window without close, minimize or resize controls.
    setParent(window, Qt::Sheet | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::WindowModal);
    setFixedSize(contentSize);
    open();
    raise();
    activateWindow();
    m_view->setFocus(Qt::ActiveWindowFocusReason);
}

void ProfileEditor::reject() {
    // Once the sheet is ending, QDialog's own closing comes back here: let it finish.
    if (m_ended)
        QDialog::reject();
    else
        m_model->cancel();
}

void ProfileEditor::endSheet() {
    if (m_ended)
        return;
    m_ended = true;
    done(QDialog::Rejected);
}

} // namespace norvane
