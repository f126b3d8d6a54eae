#include "ProfileEditor.h"

#include "Components/ViewHost.h"
#include "Localization/L10n.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

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
    if (auto *root = qobject_cast<QQuickItem *>(m_view->rootObject()))
        connect(root, &QQuickItem::implicitHeightChanged, this, &ProfileEditor::fitContent);

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
    fitContent();
    open();
    raise();
    activateWindow();
    m_view->setFocus(Qt::ActiveWindowFocusReason);
}

void ProfileEditor::fitContent() {
    int height = contentSize.height();
    if (const auto *root = qobject_cast<QQuickItem *>(m_view->rootObject()))
        height = std::max(height, int(std::ceil(root->implicitHeight())));
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen)
        height = std::min(height, screen->availableGeometry().height() - 40);
    // Fixed, so the window system offers no resize or zoom control; only the sheet resizes.
    setFixedSize(contentSize.width(), std::max(height, contentSize.height()));
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
