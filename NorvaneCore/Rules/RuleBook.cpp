#include "RuleBook.h"

#include "Localization/L10n.h"
#include "Platform/ApplicationSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSet>
#include <algorithm>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kVersion = 1;

bool requireBool(const QJsonObject &object, const QString &key) {
    if (!object[key].isBool())
        throw PlatformError(
            u"The data couldn’t be read because \"%1\" is not true or false."_s.arg(key));
    return object[key].toBool();
}

} // namespace

RuleBook::RuleBook(const std::optional<QString> &path) : m_path(path.value_or(defaultPath())) {
    load();
}

QString RuleBook::defaultPath() {
    return applicationSupportFile(u"rules.json"_s);
}

QList<Rule> RuleBook::rulesIn(const QByteArray &data) {
    return Document::decode(data).rules;
}

qsizetype RuleBook::uses(const QString &profileId) const {
    return std::count_if(m_document.rules.cbegin(), m_document.rules.cend(),
                         [&](const Rule &rule) { return rule.profileId == profileId; });
}

RuleBook::Document RuleBook::Document::decode(const QByteArray &data) {
    const QJsonObject object = json::parseObject(data);
    if (json::requireInteger(object, u"version"_s) != kVersion)
        throw ConfigurationError::message(L10n::text("The rules file version is unsupported."));
    Document document;
    document.paused = requireBool(object, u"paused"_s);
    document.applyAtStart = requireBool(object, u"applyAtStart"_s);
    QSet<QString> ids;
    for (const QJsonValue value : json::requireArray(object, u"rules"_s)) {
        const Rule rule = Rule::fromJson(json::asObject(value, u"rules")).validated();
        if (ids.contains(rule.id))
            throw PlatformError(
                u"The data couldn’t be read because two rules have the identifier \"%1\"."_s.arg(
                    rule.id));
        ids.insert(rule.id);
        document.rules << rule;
    }
    return document;
}

QByteArray RuleBook::Document::encoded() const {
    QJsonArray list;
    for (const Rule &rule : rules)
        list.append(rule.toJson());
    return json::encodePretty({{u"version"_s, kVersion},
                               {u"paused"_s, paused},
                               {u"applyAtStart"_s, applyAtStart},
                               {u"rules"_s, list}});
}

void RuleBook::load() {
    m_loadError.reset();
    m_document = {};
    // A dangling link counts as no file, as it would for a first start.
    if (!QFileInfo::exists(m_path))
        return;
    try {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            throw PlatformError(u"Could not read “%1”: %2"_s.arg(m_path, file.errorString()));
        m_document = Document::decode(file.readAll());
    } catch (...) {
        m_document = {};
        m_loadError = L10n::text(
            {"Could not read the rules in “{0}”, so no rule switches profiles. Profiles can still be applied by hand.\n{1}",
             {m_path, localizedDescription(std::current_exception())}});
    }
}

bool RuleBook::reload() {
    const Document before = m_document;
    const std::optional<QString> error = m_loadError;
    load();
    return m_document != before || m_loadError != error;
}

void RuleBook::commit(const Document &document) {
    if (m_loadError)
        throw ConfigurationError::damaged(*m_loadError, m_path);
    createPrivateFolder(QFileInfo(m_path).absolutePath());
    writeFileDurably(m_path, document.encoded(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_document = document;
}

void RuleBook::checkIndex(qsizetype index) const {
    if (index < 0 || index >= m_document.rules.size())
        throw ConfigurationError::message(
            L10n::text({"There is no rule {0}; \"pellorctl rules\" lists them.",
                        {QString::number(index + 1)}}));
}

void RuleBook::add(const Rule &rule) {
    Document document = m_document;
    document.rules << rule.validated();
    commit(document);
}

void RuleBook::replace(qsizetype index, const Rule &rule) {
    checkIndex(index);
    Document document = m_document;
    document.rules[index] = rule.validated();
    commit(document);
}

void RuleBook::remove(qsizetype index) {
    checkIndex(index);
    Document document = m_document;
    document.rules.removeAt(index);
    commit(document);
}

void RuleBook::move(qsizetype from, qsizetype to) {
    checkIndex(from);
    checkIndex(to);
    Document document = m_document;
    document.rules.move(from, to);
    commit(document);
}

void RuleBook::setEnabled(qsizetype index, bool enabled) {
    checkIndex(index);
    Document document = m_document;
    document.rules[index].enabled = enabled;
    commit(document);
}

void RuleBook::setPaused(bool paused) {
    Document document = m_document;
    document.paused = paused;
    commit(document);
}

void RuleBook::setAppliesAtStart(bool applies) {
    Document document = m_document;
    document.applyAtStart = applies;
    commit(document);
}

std::optional<QString> RuleBook::setAside(const QDate &today) {
    if (!m_loadError)
        return std::nullopt;
    const QString aside = setAsideDamagedFile(m_path, today);
    m_loadError.reset();
    m_document = {};
    return aside;
}

} // namespace norvane
