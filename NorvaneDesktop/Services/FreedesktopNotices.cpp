#include "FreedesktopNotices.h"

#include "DBusCalls.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;

QDBusConnection bus() {
    return dbus::connection(QDBusConnection::SessionBus);
}

// Calls `method` without waiting and hands its reply to `done` on `owner`'s thread.
void callLater(QObject *owner, const QString &method, const QVariantList &arguments,
               std::function<void(const QDBusMessage &)> done) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(message, dbus::timeoutMs()), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->reply());
                     });
}

} // namespace

FreedesktopNotices::FreedesktopNotices(QString applicationName, QString desktopEntry,
                                       QObject *parent)
    : NoticeCentre(parent), m_applicationName(std::move(applicationName)),
      m_desktopEntry(std::move(desktopEntry)) {
    // From any sender: the service may start only once the first notice asks for it.
    bus().connect({}, kPath, kInterface, u"ActionInvoked"_s, this, SLOT(invoked(uint, QString)));
    bus().connect({}, kPath, kInterface, u"NotificationClosed"_s, this, SLOT(closed(uint, uint)));
}

void FreedesktopNotices::post(const Notice &notice) {
    if (m_showsActions)
        return send(notice);
    callLater(this, u"GetCapabilities"_s, {}, [this, notice](const QDBusMessage &reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return Q_EMIT undelivered(notice);
        m_showsActions = reply.arguments().constFirst().toStringList().contains(u"actions"_s);
        send(notice);
    });
}

void FreedesktopNotices::send(const Notice &notice) {
    QStringList actions;
    if (m_showsActions.value_or(false))
        for (const Action &action : notice.actions)
            actions << action.key << action.label;
    QVariantMap hints;
    if (!m_desktopEntry.isEmpty())
        hints[u"desktop-entry"_s] = m_desktopEntry;
    const QVariantList arguments{m_applicationName, m_shown, m_desktopEntry, notice.summary,
                                 notice.body,       actions, hints,          -1};
    callLater(this, u"Notify"_s, arguments, [this, notice](const QDBusMessage &reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            m_showsActions.reset(); // the service went away: ask the next one what it shows
            return Q_EMIT undelivered(notice);
        }
        m_shown = reply.arguments().constFirst().toUInt();
    });
}

void FreedesktopNotices::invoked(uint id, const QString &key) {
    if (id != 0 && id == m_shown)
        Q_EMIT actionInvoked(key);
}

void FreedesktopNotices::closed(uint id, uint /*reason*/) {
    if (id == m_shown)
        m_shown = 0;
}

} // namespace norvane
