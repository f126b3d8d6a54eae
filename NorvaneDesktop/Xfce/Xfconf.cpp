#include "Xfconf.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Services/DBusCalls.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace norvane::xfconf {

namespace {

using namespace Qt::StringLiterals;

const QString kService = u"org.xfce.Xfconf"_s;
const QString kPath = u"/org/xfce/Xfconf"_s;
// xfconfd starts on the first call: give it the time a start takes on a busy machine.
constexpr int kStartTimeoutMs = 5000;

[[noreturn]] void failed(const QDBusMessage &reply, int timeoutMs) {
    const QString error = reply.errorName();
    if (error == u"org.freedesktop.DBus.Error.NoReply" ||
        error == u"org.freedesktop.DBus.Error.Timeout")
        throw ConfigurationError::message(L10n::text(
            {"Xfce's settings service (xfconfd) did not answer within {0} s, so Pellor cannot read or change its settings.",
             {dbus::secondsText(timeoutMs)}}));
    if (error == u"org.freedesktop.DBus.Error.ServiceUnknown")
        throw ConfigurationError::message(L10n::text(
            "Xfce's settings service (xfconfd) is not running and cannot be started, so Pellor cannot read or change its settings."));
    throw ConfigurationError::message(
        L10n::text({"Xfce's settings service (xfconfd) refused: {0}", {reply.errorMessage()}}));
}

// The reply, or none for xfconfd's answer that the channel or property does not exist.
std::optional<QDBusMessage> call(const QString &method, const QVariantList &arguments) {
    QDBusConnection bus = dbus::connection(QDBusConnection::SessionBus);
    if (!bus.isConnected())
        throw ConfigurationError::message(L10n::text(
            "Pellor cannot reach Xfce's settings service (xfconfd): there is no session bus."));
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    message.setArguments(arguments);
    const bool running = bus.interface()->isServiceRegistered(kService);
    const int timeoutMs = running ? dbus::timeoutMs() : kStartTimeoutMs;
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    if (reply.errorName().startsWith(u"org.xfce.Xfconf.Error."))
        return std::nullopt;
    failed(reply, timeoutMs);
}

} // namespace

QVariantMap properties(const QString &channel, const QString &base) {
    const auto reply = call(u"GetAllProperties"_s, {channel, base});
    QVariantMap values;
    if (reply && !reply->arguments().isEmpty()) {
        const QVariant &first = reply->arguments().first();
        if (first.canConvert<QDBusArgument>())
            first.value<QDBusArgument>() >> values;
        else
            values = first.toMap();
    }
    for (auto &value : values)
        if (value.canConvert<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
    return values;
}

bool isLocked(const QString &channel, const QString &property) {
    const auto reply = call(u"IsPropertyLocked"_s, {channel, property});
    return reply && !reply->arguments().isEmpty() && reply->arguments().first().toBool();
}

void set(const QString &channel, const QString &property, const QVariant &value) {
    if (!call(u"SetProperty"_s, {channel, property, QVariant::fromValue(QDBusVariant(value))}))
        throw ConfigurationError::message(
            L10n::text({"Xfce did not accept the value of “{0}”.", {channel + u' ' + property}}));
}

void reset(const QString &channel, const QString &property) {
    (void)call(u"ResetProperty"_s, {channel, property, false});
}

QString signature(const QVariant &value) {
    switch (value.metaType().id()) {
    case QMetaType::UInt:
        return u"u"_s;
    case QMetaType::Int:
        return u"i"_s;
    case QMetaType::Bool:
        return u"b"_s;
    case QMetaType::ULongLong:
        return u"t"_s;
    case QMetaType::LongLong:
        return u"x"_s;
    case QMetaType::QString:
        return u"s"_s;
    default:
        return {};
    }
}

QVariant typed(const QString &signature, qint64 number) {
    if (signature == u"u" && number >= 0 && number <= std::numeric_limits<uint>::max())
        return QVariant::fromValue(uint(number));
    if (signature == u"i" && number >= std::numeric_limits<int>::min() &&
        number <= std::numeric_limits<int>::max())
        return QVariant::fromValue(int(number));
    if (signature == u"b" && (number == 0 || number == 1))
        return QVariant::fromValue(number == 1);
    if (signature == u"t" && number >= 0)
        return QVariant::fromValue(qulonglong(number));
    if (signature == u"x")
        return QVariant::fromValue(qlonglong(number));
    return {};
}

} // namespace norvane::xfconf
