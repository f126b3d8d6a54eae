#pragma once

#include "QuickPanel.h"
#include "QuickPanelModel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

class QSystemTrayIcon;

namespace norvane {

class SwitchingReason;

// The status item and its quick panel. The status item lives in the system tray where there is
// one; where there is none the application keeps working and the panel opens at the top right
// of the screen (View ▸ Show Menu Bar Panel).
class MenuBarController : public QObject {
    Q_OBJECT

public:
    struct Environment {
        QuickPanelModel::Environment panel;
        std::function<bool()> trayAvailable; // none: QSystemTrayIcon::isSystemTrayAvailable()
        // The ink of the status item, which sits on the desktop's panel and follows the
        // desktop's theme rather than Pellor's appearance; none: the application palette's.
        std::function<QColor()> iconColor;
    };

    MenuBarController(SessionStore &store, ProfileLibrary &library, Environment environment = {},
                      QObject *parent = nullptr);
    ~MenuBarController() override;

    // Updates the status item's image and tooltip, and an open panel.
    void refresh();
    // Closes the panel when it is shown, else opens it with a fresh power reading.
    void toggle();
    // Shows a message from the status item (the desktop's balloon, the Mac's notification
    // centre); nothing where there is no status item or it cannot show messages.
    void showMessage(const QString &title, const QString &message);
    // Gives the panel its size for the current number of profiles.
    void resize();
    void closePopover();
    [[nodiscard]] bool isShown() const;
    // Deletes the closed panel with its scene; the next toggle() makes a new one over the same
    // model.
    void releasePanel();

    [[nodiscard]] QuickPanelModel *model() const { return m_model; }
    // None until the panel first opens, and again once it is released.
    [[nodiscard]] QuickPanel *popover() const { return m_popover; }
    // None where the desktop has no system tray.
    [[nodiscard]] QSystemTrayIcon *statusItem() const { return m_statusItem; }

    // A profile other than Normal is applied: the icon shows the closed ring.
    [[nodiscard]] static bool engaged(const SessionStore &store);
    // The quick panel's line saying why the profile in effect is in effect (two at most).
    static constexpr int kReasonLineHeight = 36;
    // "Pellor · <profile or Current System Configuration> · <time label>", and on a line of its
    // own why the profile is in effect (`reason`), when rules may switch.
    [[nodiscard]] static QString toolTip(const SessionStore &store, const QString &reason = {});
    // Why the profile in effect is in effect: the tooltip and the panel say it.
    void setSwitchingReason(SwitchingReason *reason);
    // What a screen reader says for the status item: "Pellor Quick Panel", and the applied
    // profile as its row in the panel says it ("Focus, applied, 12 minutes left").
    [[nodiscard]] static QString accessibleName(const SessionStore &store);
    // 340 wide; 195 + 63 per profile + `extraHeight` high, at most the screen's visible height
    // less 40 (700 when the screen is unknown).
    [[nodiscard]] static QSize panelSize(qsizetype profiles, std::optional<int> visibleHeight,
                                         int extraHeight = 0);
    // Below the status item, centred on it and kept on the screen; above it when there is no
    // room below. Without a status item, at the top right of the screen.
    [[nodiscard]] static QRect panelGeometry(QSize size, const QRect &anchor,
                                             const QRect &available);

    std::function<void()> onOpen;
    std::function<void()> onSettings;
    std::function<void()> onNew;
    std::function<void()> onQuit;

signals:
    // The panel was shown or closed.
    void shownChanged(bool shown);

private:
    void installModelCallbacks();
    void popoverDidClose();
    [[nodiscard]] QuickPanel *panel();
    [[nodiscard]] QRect anchor() const;
    [[nodiscard]] std::optional<QRect> availableArea() const;

    SessionStore &m_store;
    ProfileLibrary &m_library;
    Environment m_environment;
    QuickPanelModel *m_model;
    QSystemTrayIcon *m_statusItem = nullptr; // a child of the controller
    QPointer<QuickPanel> m_popover;
    QPointer<SwitchingReason> m_reason;
    QElapsedTimer m_closedAt;
    bool m_engaged = false;
    bool m_hasIcon = false;
    QColor m_iconColor;
};

} // namespace norvane
