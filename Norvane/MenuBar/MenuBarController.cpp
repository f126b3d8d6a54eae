#include "MenuBarController.h"

#include "Components/Accessibility.h"
#include "Localization/L10n.h"
#include "PellorMenuIcon.h"
#include "Profiles/ProfileLibrary.h"
#include "QuickPanel.h"
#include "Sessions/SessionStore.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QSystemTrayIcon>

namespace norvane {

namespace {

// A click on the status item that closes the open panel (by landing outside it) reaches the
// status item right afterwards; it must not open the panel again.
constexpr qint64 reopenGuard = 250; // milliseconds

constexpr int panelMargin = 8;

} // namespace

MenuBarController::MenuBarController(SessionStore &store, ProfileLibrary &library,
                                     Environment environment, QObject *parent)
    : QObject(parent), m_store(store), m_library(library), m_environment(std::move(environment)),
      m_model(new QuickPanelModel(store, library, m_environment.panel, this)) {
    const bool trayAvailable = m_environment.trayAvailable
                                   ? m_environment.trayAvailable()
                                   : QSystemTrayIcon::isSystemTrayAvailable();
    if (trayAvailable) {
        m_statusItem = new QSystemTrayIcon(this);
        m_statusItem->setObjectName(QStringLiteral("PellorStatusItem"));
        connect(m_statusItem, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason != QSystemTrayIcon::Trigger &&
                        reason != QSystemTrayIcon::DoubleClick)
                        return;
                    if (!isShown() && m_closedAt.isValid() && !m_closedAt.hasExpired(reopenGuard))
                        return;
                    toggle();
                });
    }
    installModelCallbacks();
    refresh();
    if (m_statusItem)
        m_statusItem->show();
}

MenuBarController::~MenuBarController() {
    if (m_popover) {
        m_popover->disconnect(this);
        delete m_popover;
    }
}

void MenuBarController::installModelCallbacks() {
    QPointer<MenuBarController> self(this);
    m_model->onActivate = [self](const Profile &profile) {
        if (!self || self->m_store.isApplying())
            return;
        self->closePopover();
        const QuickPanelModel::Clock &clock = self->m_environment.panel.clock;
        self->m_store.activate(profile, std::nullopt,
                               clock ? clock() : QDateTime::currentDateTime());
    };
    const auto forward = [self](std::function<void()> MenuBarController::*callback) {
        return [self, callback] {
            if (!self)
                return;
            self->closePopover();
            if (const std::function<void()> &call = (*self).*callback)
                call();
        };
    };
    m_model->onOpen = forward(&MenuBarController::onOpen);
    m_model->onSettings = forward(&MenuBarController::onSettings);
    m_model->onCreate = forward(&MenuBarController::onNew);
    m_model->onQuit = forward(&MenuBarController::onQuit);
    m_model->onDismiss = [self] {
        if (self)
            self->closePopover();
    };
}

void MenuBarController::refresh() {
    if (m_statusItem) {
        const bool engagedNow = engaged(m_store);
        const QColor color = m_environment.iconColor
                                 ? m_environment.iconColor()
                                 : QGuiApplication::palette().color(QPalette::WindowText);
        if (!m_hasIcon || engagedNow != m_engaged || color != m_iconColor) {
            m_statusItem->setIcon(PellorMenuIcon::icon(engagedNow, color));
            m_hasIcon = true;
            m_engaged = engagedNow;
            m_iconColor = color;
        }
        const QString tip = toolTip(m_store, m_reason ? m_reason->text() : QString());
        if (m_statusItem->toolTip() != tip)
            m_statusItem->setToolTip(tip);
        // Where the tray docks a widget of Qt's for the item (XEmbed), a screen reader meets it
        // as a button with this name; elsewhere the tray tells the tooltip.
        const QString name = accessibleName(m_store);
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->inherits("QSystemTrayIconSys")) {
                Accessibility::setRole(*widget, QAccessible::Button);
                if (widget->accessibleName() != name)
                    widget->setAccessibleName(name);
                if (widget->accessibleDescription() != tip)
                    widget->setAccessibleDescription(tip);
            }
    }
    if (isShown()) {
        m_model->refresh(false);
        resize();
    }
}

void MenuBarController::toggle() {
    if (isShown()) {
        closePopover();
        return;
    }
    m_model->refresh(true);
    resize();
    panel()->show();
    m_popover->raise();
    emit shownChanged(true);
}

void MenuBarController::resize() {
    const std::optional<QRect> available = availableArea();
    // The line that says why the profile in effect is in effect, when it shows.
    const int reason = m_reason && !m_reason->text().isEmpty() ? kReasonLineHeight : 0;
    const QSize size =
        panelSize(m_library.profiles().size(),
                  available ? std::optional(available->height()) : std::nullopt, reason);
    const QRect area = available.value_or(QRect(QPoint(0, 0), size));
    panel()->setGeometry(panelGeometry(size, anchor(), area));
}

void MenuBarController::closePopover() {
    if (isShown())
        m_popover->close();
}

bool MenuBarController::isShown() const {
    return m_popover && m_popover->isVisible();
}

void MenuBarController::releasePanel() {
    if (!m_popover || m_popover->isVisible())
        return;
    m_popover->disconnect(this);
    delete m_popover;
}

bool MenuBarController::engaged(const SessionStore &store) {
    return store.hasAppliedProfile() && !store.profile().isNormal();
}

QString MenuBarController::toolTip(const SessionStore &store, const QString &reason) {
    const QString title = store.hasAppliedProfile() ? store.profile().localizedTitle()
                                                    : L10n::text("Current System Configuration");
    const QString separator = QStringLiteral(" · ");
    const QString tip =
        QStringLiteral("Pellor") + separator + title + separator + store.timeLabel();
    return reason.isEmpty() ? tip : tip + u'\n' + reason;
}

void MenuBarController::setSwitchingReason(SwitchingReason *reason) {
    m_reason = reason;
    m_model->setReason(reason);
    connect(reason, &SwitchingReason::changed, this, [this] {
        refresh();
        if (isShown())
            resize();
    });
    refresh();
}

QString MenuBarController::accessibleName(const SessionStore &store) {
    QString item = L10n::text("Pellor Quick Panel");
    if (!store.hasAppliedProfile())
        return item;
    return L10n::text(
        {"{0}, {1}", {item, ProfileRowsModel::accessibleName(store.profile(), store)}});
}

QSize MenuBarController::panelSize(qsizetype profiles, std::optional<int> visibleHeight,
                                   int extraHeight) {
    const qint64 available = visibleHeight ? *visibleHeight - 40 : 700;
    return {340, int(std::min<qint64>(195 + 63 * qint64(profiles) + extraHeight, available))};
}

void MenuBarController::showMessage(const QString &title, const QString &message) {
    if (m_statusItem && QSystemTrayIcon::supportsMessages())
        m_statusItem->showMessage(title, message);
}

QRect MenuBarController::panelGeometry(QSize size, const QRect &anchor, const QRect &available) {
    QRect frame(QPoint(0, 0), size);
    if (anchor.isValid()) {
        frame.moveTopLeft({anchor.center().x() - size.width() / 2, anchor.bottom() + 1});
        if (frame.bottom() > available.bottom() && anchor.top() - size.height() >= available.top())
            frame.moveBottom(anchor.top() - 1);
    } else {
        frame.moveTopRight({available.right() - panelMargin, available.top() + panelMargin});
    }
    frame.moveLeft(std::clamp(frame.left(), available.left(),
                              std::max(available.left(), available.right() + 1 - size.width())));
    frame.moveTop(std::clamp(frame.top(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - size.height())));
    return frame;
}

QuickPanel *MenuBarController::panel() {
    // Made when it first opens: its view is a scene of its own, which start-up does not need.
    if (!m_popover) {
        m_popover = new QuickPanel(m_model);
        connect(m_popover, &QuickPanel::closed, this, &MenuBarController::popoverDidClose);
    }
    return m_popover;
}

void MenuBarController::popoverDidClose() {
    m_closedAt.start();
    emit shownChanged(false);
}

QRect MenuBarController::anchor() const {
    return m_statusItem ? m_statusItem->geometry() : QRect();
}

std::optional<QRect> MenuBarController::availableArea() const {
    const QRect button = anchor();
    QScreen *screen = button.isValid() ? QGuiApplication::screenAt(button.center())
                                       : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry();
}

} // namespace norvane
