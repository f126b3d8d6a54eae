#pragma once

#include "Platform/NoticeCentre.h"

#include <optional>

namespace norvane {

// The desktop's notification service on the session bus (org.freedesktop.Notifications): each
// notice replaces the one posted before while that one is shown, its actions go along where the
// service shows actions (GetCapabilities, asked once it answers), and only the shown notice's
// actions count. Every call is asynchronous; a bus without the service (and nothing that would
// start it) leaves the notice undelivered.
class FreedesktopNotices final : public NoticeCentre {
    Q_OBJECT

public:
    // `applicationName` heads the notice; `desktopEntry` (the desktop file's name, without
    // ".desktop") lets the desktop show the application's icon and settings.
    FreedesktopNotices(QString applicationName, QString desktopEntry, QObject *parent = nullptr);

    void post(const Notice &notice) override;

private Q_SLOTS:
    void invoked(uint id, const QString &key);
    void closed(uint id, uint reason);

private:
    void send(const Notice &notice);

    QString m_applicationName;
    QString m_desktopEntry;
    std::optional<bool> m_showsActions; // none until the service has answered
    uint m_shown = 0;                   // the latest notice while it is shown
};

} // namespace norvane
