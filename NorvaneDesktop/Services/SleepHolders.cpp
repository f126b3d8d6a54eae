#include "SleepHolders.h"

#include "DBusCalls.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QMap>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr uint kSuspendFlag = 4;
constexpr uint kIdleFlag = 8;

// "idle", "sleep" or "idle:sleep" from the kinds held; empty for neither.
QString heldKinds(bool idle, bool sleep) {
    QStringList kinds;
    if (idle)
        kinds << u"idle"_s;
    if (sleep)
        kinds << u"sleep"_s;
    return kinds.join(u':');
}

std::optional<QList<PowerAssertion>> fromLogind() {
    const auto reply = dbus::call(
        {QDBusConnection::SystemBus, u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s},
        u"org.freedesktop.login1.Manager"_s, u"ListInhibitors"_s);
    if (!reply || reply->isEmpty() || !reply->first().canConvert<QDBusArgument>())
        return std::nullopt;
    const auto list = reply->first().value<QDBusArgument>();
    QList<PowerAssertion> holders;
    list.beginArray();
    while (!list.atEnd()) {
        QString what;
        QString who;
        QString why;
        QString mode;
        uint uid = 0;
        uint pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        if (const auto holder = logindHolder(what, who, why, mode, uid, pid))
            holders << *holder;
    }
    list.endArray();
    return holders;
}

std::optional<QList<PowerAssertion>> fromSession() {
    const dbus::Address manager{QDBusConnection::SessionBus, u"org.gnome.SessionManager"_s,
                                u"/org/gnome/SessionManager"_s};
    const auto reply = dbus::call(manager, u"org.gnome.SessionManager"_s, u"GetInhibitors"_s);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    QList<PowerAssertion> holders;
    const QString inhibitor = u"org.gnome.SessionManager.Inhibitor"_s;
    for (const QDBusObjectPath &path : dbus::objectPaths(reply->first())) {
        const dbus::Address address{QDBusConnection::SessionBus, manager.service, path.path()};
        const auto appId = dbus::call(address, inhibitor, u"GetAppId"_s);
        const auto reason = dbus::call(address, inhibitor, u"GetReason"_s);
        const auto flags = dbus::call(address, inhibitor, u"GetFlags"_s);
        if (!appId || !reason || !flags || appId->isEmpty() || reason->isEmpty() ||
            flags->isEmpty())
            continue;
        if (const auto holder = sessionHolder(appId->first().toString(), reason->first().toString(),
                                              flags->first().toUInt()))
            holders << *holder;
    }
    return holders;
}

// PowerDevil's policy agent: the newer ActiveInhibitions (what, who, why, mode, flags), else the
// older ListInhibitions, which names who and why only; KDE's screen-saver inhibitions, which most
// of those are, hold both the display and sleep.
std::optional<QList<PowerAssertion>> fromPowerDevil() {
    const dbus::Address agent{QDBusConnection::SessionBus, u"org.kde.Solid.PowerManagement"_s,
                              u"/org/kde/Solid/PowerManagement/PolicyAgent"_s};
    const QString interface = u"org.kde.Solid.PowerManagement.PolicyAgent"_s;
    QList<PowerAssertion> holders;
    const auto active = dbus::call(agent, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                   {interface, u"ActiveInhibitions"_s});
    if (active && !active->isEmpty()) {
        QVariant value = active->first();
        if (value.canConvert<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
        if (value.canConvert<QDBusArgument>()) {
            const auto list = value.value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString what;
                QString who;
                QString why;
                QString mode;
                uint flags = 0;
                list.beginStructure();
                list >> what >> who >> why >> mode >> flags;
                list.endStructure();
                if (const auto holder = powerDevilHolder(what, who, why, mode))
                    holders << *holder;
            }
            list.endArray();
            return holders;
        }
    }
    const auto listed = dbus::call(agent, interface, u"ListInhibitions"_s);
    if (!listed || listed->isEmpty() || !listed->first().canConvert<QDBusArgument>())
        return std::nullopt;
    QMap<QString, QString> reasons;
    listed->first().value<QDBusArgument>() >> reasons;
    for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
        if (const auto holder = powerDevilHolder(u"idle:sleep"_s, it.key(), it.value(), u"block"_s))
            holders << *holder;
    return holders;
}

} // namespace

std::optional<PowerAssertion> powerDevilHolder(const QString &what, const QString &who,
                                               const QString &why, const QString &mode) {
    std::optional<PowerAssertion> holder = logindHolder(what, who, why, mode, 0, 0);
    if (holder)
        holder->details = QStringList{u"PowerDevil"_s};
    return holder;
}

std::optional<PowerAssertion> logindHolder(const QString &what, const QString &who,
                                           const QString &why, const QString &mode, uint uid,
                                           uint pid) {
    if (mode != u"block")
        return std::nullopt;
    const QStringList kinds = what.split(u':');
    const QString type = heldKinds(kinds.contains(u"idle"_s), kinds.contains(u"sleep"_s));
    if (type.isEmpty())
        return std::nullopt;
    return PowerAssertion{qint64(pid), who, type, {}, why, {u"logind, uid %1"_s.arg(uid)}};
}

std::optional<PowerAssertion> sessionHolder(const QString &appId, const QString &reason,
                                            uint flags) {
    const QString type = heldKinds(flags & kIdleFlag, flags & kSuspendFlag);
    if (type.isEmpty())
        return std::nullopt;
    return PowerAssertion{0, appId, type, {}, reason, {u"desktop session"_s}};
}

std::optional<PowerAssertions> readSleepHolders(DesktopSession desktop) {
    const auto logind = fromLogind();
    const auto session = desktop == DesktopSession::gnome ? fromSession()
                         : desktop == DesktopSession::kde ? fromPowerDevil()
                                                          : std::nullopt;
    if (!logind && !session)
        return std::nullopt;
    PowerAssertions assertions;
    assertions.holders = logind.value_or(QList<PowerAssertion>{});
    for (const PowerAssertion &holder : session.value_or(QList<PowerAssertion>{}))
        if (std::none_of(assertions.holders.cbegin(), assertions.holders.cend(),
                         [&](const PowerAssertion &listed) {
                             return listed.process == holder.process && listed.name == holder.name;
                         }))
            assertions.holders << holder;
    QMap<QString, qint64> counts{{u"idle"_s, 0}, {u"sleep"_s, 0}};
    for (const PowerAssertion &holder : std::as_const(assertions.holders))
        for (const QString &kind : holder.type.split(u':'))
            ++counts[kind];
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        assertions.systemWide.append({it.key(), it.value()});
    return assertions;
}

} // namespace norvane
