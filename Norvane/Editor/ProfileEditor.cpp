#include "ProfileEditor.h"

#include "Components/Accessibility.h"
#include "Components/ViewHost.h"
#include "Localization/L10n.h"

#include <QMainWindow>
#include <QQuickItem>
#include <QQuickWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

namespace norvane {

ProfileEditor::ProfileEditor(const std::optional<Profile> &profile, ProfileEditorModel::Save onSave,
                             std::optional<ProfileEditorModel::Delete> onDelete, Policy policy)
    : m_view(new QQuickWidget(this)),
      m_model(new ProfileEditorModel(profile, std::move(onSave), std::move(onDelete),
                                     std::move(policy), this)) {
    setObjectName(QStringLiteral("profileEditor"));
    Accessibility::setRole(*this, QAccessible::Dialog);
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
#ifdef Q_OS_MACOS
    // A real sheet: titled, without close, minimize or resize controls.
    setParent(window, Qt::Sheet | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
#else
    // X11 window managers such as openbox give every titled dialog a minimize (and often a
    // zoom) button whatever the window asks for. Like a sheet on a Mac, this one has no title
    // bar: it hangs from the top of its window, and Escape or Cancel ends it.
    setParent(window, Qt::Dialog | Qt::FramelessWindowHint);
#endif
    setWindowModality(Qt::WindowModal);
#ifndef Q_OS_MACOS
    if (window) {
        // The window's content: below its title bar and its menu bar, which stays in sight.
        const auto *main = qobject_cast<QMainWindow *>(window);
        const QWidget *content = main && main->centralWidget() ? main->centralWidget() : window;
        const QRect area(content->mapToGlobal(QPoint(0, 0)), content->size());
        m_heightLimit = area.height();
        fitContent();
        move(area.left() + (area.width() - width()) / 2, area.top());
    }
#endif
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
    // Shorter than its content, the sheet's content scrolls above its buttons.
    if (m_heightLimit)
        height = std::min(height, *m_heightLimit);
    // Fixed, so the window system offers no resize or zoom control; only the sheet resizes.
    setFixedSize(contentSize.width(), std::max(height, 1));
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
