#include "ProfileLibrary.h"

#include "Graphemes.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"

#include <QJsonArray>
#include <QSet>
#include <QUuid>

namespace norvane {

namespace {

constexpr qint64 kVersion = 1;
constexpr qsizetype kMaxTitleLength = 32;

const QString kDeletedKey = QStringLiteral("deleted");
const QString kProfilesKey = QStringLiteral("profiles");
const QString kVersionKey = QStringLiteral("version");

[[noreturn]] void fail(const QString &text) {
    throw ConfigurationError::message(text);
}

[[noreturn]] void failDuplicateOrMissing() {
    fail(L10n::text("The profiles file contains duplicate or missing profiles."));
}

QList<Profile> decodeProfiles(const QJsonObject &object, const QString &key) {
    const QJsonArray array = json::requireArray(object, key);
    QList<Profile> profiles;
    profiles.reserve(array.size());
    for (const auto &value : array)
        profiles.append(Profile::fromJson(json::asObject(value, key)));
    return profiles;
}

QJsonArray encodeProfiles(const QList<Profile> &profiles) {
    QJsonArray array;
    for (const Profile &profile : profiles)
        array.append(profile.toJson());
    return array;
}

QList<Profile> validatedProfiles(const QList<Profile> &profiles) {
    QList<Profile> result;
    result.reserve(profiles.size());
    for (const Profile &profile : profiles)
        result.append(profile.validated());
    return result;
}

// Titles compare ignoring case everywhere: in document validation and when picking free names.
// A title as a person tells it from another: the same letters whether composed or not, in any
// letter case, with or without an emoji's presentation selector.
QString titleKey(const QString &title) {
    QString key = title.normalized(QString::NormalizationForm_C).toCaseFolded();
    key.remove(QChar(0xFE0F));
    key.remove(QChar(0xFE0E));
    return key;
}

QSet<QString> takenTitles(const QList<Profile> &profiles) {
    QSet<QString> titles;
    titles.reserve(profiles.size());
    for (const Profile &profile : profiles)
        titles.insert(titleKey(profile.title));
    return titles;
}

// `candidate` itself when no profile has it, else the first free "<candidate shortened> N" for
// N = 2, 3, …, each within the title length limit.
QString firstFreeTitle(const QString &candidate, const QList<Profile> &profiles) {
    const QSet<QString> taken = takenTitles(profiles);
    QString title = candidate;
    for (qint64 n = 2; taken.contains(titleKey(title)); ++n) {
        const QString numbering = QStringLiteral(" %1").arg(n);
        title = graphemes::leading(candidate, kMaxTitleLength - numbering.size()) + numbering;
    }
    return title;
}

[[noreturn]] void refuseManaged() {
    fail(L10n::text(
        "Profiles provided by your organisation cannot be changed or deleted. Duplicate one to make your own."));
}

} // namespace

ProfileLibrary::ProfileLibrary(std::shared_ptr<ProfileStorage> storage)
    : m_storage(std::move(storage)) {
    load();
    list();
}

void ProfileLibrary::setManaged(const QList<Profile> &profiles, bool customProfilesAllowed) {
    m_managed = profiles;
    for (Profile &managed : m_managed)
        managed.managed = true;
    m_customProfilesAllowed = customProfilesAllowed;
    list();
    if (onChange)
        onChange();
}

bool ProfileLibrary::isManaged(const QString &id) const {
    return std::any_of(m_managed.cbegin(), m_managed.cend(),
                       [&](const Profile &managed) { return managed.id == id; });
}

void ProfileLibrary::list() {
    m_listed = m_managed;
    for (const Profile &profile : std::as_const(m_document.profiles))
        if (!isManaged(profile.id))
            m_listed << profile;
}

void ProfileLibrary::load() {
    try {
        const std::optional<QByteArray> data = m_storage->read();
        if (!data)
            return;
        const Document document = Document::decode(*data);
        if (document.version != kVersion)
            fail(L10n::text("The profiles file version is unsupported."));
        // Loading never writes, even when validation trimmed a title.
        m_document = document.validated();
    } catch (...) {
        m_loadError = L10n::text(
            {"Could not read saved profiles. Showing factory presets; the original file has not been overwritten.\n{0}",
             {localizedDescription(std::current_exception())}});
    }
}

ProfileLibrary::Document ProfileLibrary::Document::decode(const QByteArray &data) {
    const QJsonObject object = json::parseObject(data);
    Document document;
    document.deleted = decodeProfiles(object, kDeletedKey);
    document.profiles = decodeProfiles(object, kProfilesKey);
    document.version = json::requireInteger(object, kVersionKey);
    return document;
}

QByteArray ProfileLibrary::Document::encoded() const {
    return json::encodePretty({
        {kDeletedKey, encodeProfiles(deleted)},
        {kProfilesKey, encodeProfiles(profiles)},
        {kVersionKey, version},
    });
}

ProfileLibrary::Document ProfileLibrary::Document::validated() const {
    Document result;
    result.version = version;
    result.profiles = validatedProfiles(profiles);
    result.deleted = validatedProfiles(deleted);

    QSet<QString> ids;
    ids.reserve(result.profiles.size() + result.deleted.size());
    for (const QList<Profile> *list : {&result.profiles, &result.deleted}) {
        for (const Profile &profile : *list) {
            if (ids.contains(profile.id))
                failDuplicateOrMissing();
            ids.insert(profile.id);
        }
    }
    for (const Profile &profile : std::as_const(result.deleted)) {
        if (profile.isPreset())
            failDuplicateOrMissing();
    }
    // Every identifier is unique now, so a preset identifier missing from `deleted` and present
    // in `ids` is in `profiles`.
    for (const Profile &preset : Profile::presets()) {
        if (!ids.contains(preset.id))
            failDuplicateOrMissing();
    }

    QSet<QString> titles;
    titles.reserve(result.profiles.size());
    for (const Profile &profile : std::as_const(result.profiles)) {
        const QString key = titleKey(profile.title);
        if (titles.contains(key))
            fail(L10n::text("A profile with this name already exists. Choose another name."));
        titles.insert(key);
    }
    return result;
}

void ProfileLibrary::commit(const Document &document) {
    if (m_loadError)
        fail(*m_loadError);
    Document validated = document.validated();
    m_storage->write(validated.encoded());
    m_document = std::move(validated);
    list();
    if (onChange)
        onChange();
}

std::optional<Profile> ProfileLibrary::profile(const QString &id) const {
    const auto &all = m_listed;
    const auto found =
        std::find_if(all.cbegin(), all.cend(), [&](const Profile &p) { return p.id == id; });
    if (found == all.cend())
        return std::nullopt;
    return *found;
}

std::optional<Profile> ProfileLibrary::profileOrNormal(const QString &id) const {
    return id == Profile::normal().id ? std::optional(normal()) : profile(id);
}

Profile ProfileLibrary::normal() const {
    return profile(Profile::normal().id).value_or(Profile::normal());
}

void ProfileLibrary::save(const Profile &profile) {
    if (isManaged(profile.id))
        refuseManaged();
    Profile valid = profile.validated();
    valid.managed = false;
    Document next = m_document;
    const auto found = std::find_if(next.profiles.begin(), next.profiles.end(),
                                    [&](const Profile &p) { return p.id == valid.id; });
    if (found != next.profiles.end())
        *found = valid;
    else if (m_customProfilesAllowed)
        next.profiles.append(valid);
    else
        fail(L10n::text("A management policy does not allow new profiles. Nothing was changed."));
    commit(next);
}

void ProfileLibrary::remove(const QString &id) {
    const std::optional<Profile> removed = profile(id);
    if (!removed)
        return;
    if (removed->managed)
        refuseManaged();
    if (removed->isPreset())
        fail(L10n::text("Preset profiles cannot be deleted."));
    Document next = m_document;
    next.profiles.removeIf([&](const Profile &p) { return p.id == id; });
    next.deleted.append(*removed);
    commit(next);
}

Profile ProfileLibrary::duplicate(const QString &id) {
    const std::optional<Profile> source = profile(id);
    if (!source)
        fail(L10n::text("Could not find the profile to duplicate."));
    const QString suffix = L10n::text(" Copy");
    const QString candidate =
        graphemes::leading(source->localizedTitle(), kMaxTitleLength - graphemes::count(suffix)) +
        suffix;
    const Profile copy(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(),
                       firstFreeTitle(candidate, m_listed), source->icon, source->displayMinutes,
                       source->sleepMinutes, source->screenSaverSeconds, source->defaultMinutes);
    save(copy);
    return *profile(copy.id);
}

void ProfileLibrary::resetPreset(const QString &id) {
    const auto &presets = Profile::presets();
    const auto preset = std::find_if(presets.cbegin(), presets.cend(),
                                     [&](const Profile &p) { return p.id == id; });
    if (preset == presets.cend())
        fail(L10n::text("Only preset profiles can be reset to factory settings."));
    save(*preset);
}

std::optional<Profile> ProfileLibrary::undoDeletion() {
    if (m_document.deleted.isEmpty())
        return std::nullopt;
    Document next = m_document;
    Profile restored = next.deleted.takeLast();
    restored.title = firstFreeTitle(restored.title, next.profiles);
    next.profiles.append(restored);
    commit(next);
    return restored;
}

std::optional<QString> ProfileLibrary::setAsideAndStartFresh(const QDate &today) {
    if (!m_loadError)
        return std::nullopt;
    const QString aside = m_storage->setAside(today);
    m_loadError.reset();
    m_document = Document{};
    list();
    if (onChange)
        onChange();
    return aside;
}

} // namespace norvane
