#include "SessionRecord.h"

#include "Platform/ApplicationSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"
#include "Platform/SystemIdentity.h"

#include <QFile>
#include <QFileInfo>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kVersion = 1;

QString timestamp(const QDateTime &date) {
    return date.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime dateAt(const QJsonObject &object, const QString &key) {
    QDateTime date = QDateTime::fromString(json::requireString(object, key), Qt::ISODateWithMs);
    if (!date.isValid())
        throw PlatformError(
            u"The data couldn’t be read because the value of \"%1\" is not a time."_s.arg(key));
    return date;
}

} // namespace

SessionRecord::SessionRecord(QString path, QString world)
    : m_path(std::move(path)), m_world(std::move(world)) {}

QString SessionRecord::defaultPath() {
    return applicationSupportFile(u"session.json"_s);
}

std::shared_ptr<const SessionRecord> SessionRecord::ofCurrentSystem() {
    return std::make_shared<SessionRecord>(defaultPath(), currentSystem().id);
}

std::optional<Session> SessionRecord::load() const {
    QFile file(m_path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(u"Could not read “%1”: %2"_s.arg(m_path, file.errorString()));
    const QJsonObject object = json::parseObject(file.readAll());
    if (json::requireInteger(object, u"version"_s) != kVersion ||
        json::requireString(object, u"world"_s) != m_world)
        return std::nullopt;
    const Profile profile = Profile::fromJson(json::asObject(object[u"profile"_s], u"profile"));
    (void)profile.validated();
    Session session(profile, 0, dateAt(object, u"startedAt"_s));
    if (object.contains(u"deadline"_s))
        session.deadline = dateAt(object, u"deadline"_s);
    if (object.contains(u"rule"_s)) {
        const QJsonObject rule = json::asObject(object[u"rule"_s], u"rule");
        session.rule = AppliedByRule{json::requireString(rule, u"id"_s),
                                     json::requireString(rule, u"description"_s)};
    }
    if (object.contains(u"previous"_s))
        session.previousProfileId = json::requireString(object, u"previous"_s);
    return session;
}

void SessionRecord::save(const std::optional<Session> &session) const {
    if (!session) {
        if (QFile::exists(m_path) && !QFile::remove(m_path))
            throw PlatformError(u"Could not remove “%1”"_s.arg(m_path));
        return;
    }
    QJsonObject object{{u"version"_s, kVersion},
                       {u"world"_s, m_world},
                       {u"profile"_s, session->profile.toJson()},
                       {u"startedAt"_s, timestamp(session->startedAt)}};
    if (session->deadline)
        object[u"deadline"_s] = timestamp(*session->deadline);
    if (session->rule)
        object[u"rule"_s] = QJsonObject{{u"id"_s, session->rule->id},
                                        {u"description"_s, session->rule->description}};
    if (session->previousProfileId)
        object[u"previous"_s] = *session->previousProfileId;
    createPrivateFolder(QFileInfo(m_path).absolutePath());
    writeFileDurably(m_path, json::encodePretty(object),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace norvane
