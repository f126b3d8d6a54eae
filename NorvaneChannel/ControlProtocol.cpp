#include "ControlProtocol.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <array>
#include <cmath>
#include <utility>

namespace norvane::control {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array requestNames{
    std::pair{Request::Kind::show, "show"}, std::pair{Request::Kind::status, "status"},
    std::pair{Request::Kind::apply, "apply"}, std::pair{Request::Kind::restore, "restore"}};

constexpr std::array outcomeNames{std::pair{Response::Outcome::ok, "ok"},
                                  std::pair{Response::Outcome::cancelled, "cancelled"},
                                  std::pair{Response::Outcome::failed, "failed"},
                                  std::pair{Response::Outcome::notFound, "notFound"},
                                  std::pair{Response::Outcome::busy, "busy"},
                                  std::pair{Response::Outcome::invalid, "invalid"}};

template <typename Names, typename Value> QString nameOf(const Names &names, Value value) {
    for (const auto &[candidate, name] : names)
        if (candidate == value)
            return QString::fromLatin1(name);
    return {};
}

template <typename Value, typename Names>
std::optional<Value> valueNamed(const Names &names, const QString &text) {
    for (const auto &[value, name] : names)
        if (text == QLatin1String(name))
            return value;
    return std::nullopt;
}

QByteArray line(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// The object of a line of this protocol's version, or none.
std::optional<QJsonObject> objectOf(const QByteArray &line) {
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed());
    if (!document.isObject() || document[u"version"_s].toInteger(-1) != protocolVersion)
        return std::nullopt;
    return document.object();
}

std::optional<qint64> wholeNumber(const QJsonValue &value) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number != double(qint64(number)))
        return std::nullopt;
    return qint64(number);
}

} // namespace

QByteArray Request::encoded() const {
    QJsonObject object{{u"version"_s, protocolVersion}, {u"request"_s, nameOf(requestNames, kind)}};
    if (kind == Kind::apply) {
        object[u"profile"_s] = profileId;
        if (minutes)
            object[u"minutes"_s] = *minutes;
    }
    return control::line(object);
}

std::optional<Request> Request::decode(const QByteArray &line) {
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return std::nullopt;
    const auto kind = valueNamed<Kind>(requestNames, (*object)[u"request"_s].toString());
    if (!kind)
        return std::nullopt;
    Request request{*kind, {}, {}};
    if (*kind != Kind::apply)
        return request;
    request.profileId = (*object)[u"profile"_s].toString();
    if (request.profileId.isEmpty())
        return std::nullopt;
    if (object->contains(u"minutes"_s)) {
        request.minutes = wholeNumber((*object)[u"minutes"_s]);
        if (!request.minutes)
            return std::nullopt;
    }
    return request;
}

SessionState SessionState::applied(const Session &session, const QDateTime &now) {
    SessionState state;
    state.profileId = session.profile.id;
    state.title = session.profile.localizedTitle();
    if (const std::optional<double> remaining = session.remaining(now))
        state.secondsLeft = qint64(std::ceil(*remaining));
    state.timeLabel = session.remainingLabel(now);
    return state;
}

QByteArray Response::encoded() const {
    QJsonObject state{{u"applying"_s, session.applying},
                      {u"title"_s, session.title},
                      {u"timeLabel"_s, session.timeLabel}};
    state[u"profile"_s] = session.profileId ? QJsonValue(*session.profileId) : QJsonValue();
    state[u"secondsLeft"_s] = session.secondsLeft ? QJsonValue(*session.secondsLeft) : QJsonValue();
    return control::line({{u"version"_s, protocolVersion},
                          {u"outcome"_s, nameOf(outcomeNames, outcome)},
                          {u"message"_s, message},
                          {u"session"_s, state}});
}

std::optional<Response> Response::decode(const QByteArray &line) {
    const std::optional<QJsonObject> object = objectOf(line);
    if (!object)
        return std::nullopt;
    const auto outcome = valueNamed<Outcome>(outcomeNames, (*object)[u"outcome"_s].toString());
    if (!outcome)
        return std::nullopt;
    const QJsonObject state = (*object)[u"session"_s].toObject();
    Response response{*outcome, (*object)[u"message"_s].toString(), {}};
    response.session.applying = state[u"applying"_s].toBool();
    if (state[u"profile"_s].isString())
        response.session.profileId = state[u"profile"_s].toString();
    response.session.title = state[u"title"_s].toString();
    response.session.secondsLeft = wholeNumber(state[u"secondsLeft"_s]);
    response.session.timeLabel = state[u"timeLabel"_s].toString();
    return response;
}

QString serverName() {
    // The application's own settings folder (organization Norvane, application Pellor), named
    // explicitly so that every program that talks to Pellor finds the same channel.
    const QByteArray place =
        (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         u"/Norvane/Pellor"_s)
            .toUtf8();
    return u"pellor-"_s +
           QString::fromLatin1(
               QCryptographicHash::hash(place, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace norvane::control
