#include "ManagedSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"

#include <QJsonArray>
#include <QSet>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kProfilesVersion = 1;

// The profiles of a profiles document, each valid, with no identifier or title twice. Unlike the
// person's file it need not hold the presets, and a deleted list means nothing here.
QList<Profile> decodeProfiles(const QByteArray &data) {
    const QJsonObject object = json::parseObject(data);
    if (json::requireInteger(object, u"version"_s) != kProfilesVersion)
        throw ConfigurationError::message(L10n::text("The profiles file version is unsupported."));
    QList<Profile> profiles;
    QSet<QString> ids;
    QSet<QString> titles;
    for (const QJsonValue value : json::requireArray(object, u"profiles"_s)) {
        Profile profile = Profile::fromJson(json::asObject(value, u"profiles")).validated();
        const QString title = profile.title.toCaseFolded();
        if (ids.contains(profile.id) || titles.contains(title))
            throw ConfigurationError::message(
                L10n::text("The profiles file contains duplicate or missing profiles."));
        ids.insert(profile.id);
        titles.insert(title);
        profile.managed = true;
        profiles << profile;
    }
    return profiles;
}

} // namespace

ManagedSettings ManagedSettings::load(const AdministratorFolder &folder) {
    ManagedSettings settings;
    settings.m_folder = folder.path();
    settings.readFile(folder, QString::fromUtf8(policyFile), [&settings](const QByteArray &data) {
        settings.m_policy = Policy::fromJson(data);
    });
    settings.readFile(folder, QString::fromUtf8(profilesFile), [&settings](const QByteArray &data) {
        settings.m_profiles = decodeProfiles(data);
    });
    settings.readFile(folder, QString::fromUtf8(rulesFile), [&settings](const QByteArray &data) {
        settings.m_rules = RuleBook::rulesIn(data);
    });
    return settings;
}

void ManagedSettings::readFile(const AdministratorFolder &folder, const QString &fileName,
                               const std::function<void(const QByteArray &)> &decode) {
    try {
        if (const std::optional<QByteArray> data = folder.read(fileName))
            decode(*data);
    } catch (const std::exception &error) {
        m_problems << L10n::text({"The administrator's file “{0}” was left out: {1}",
                                  {folder.filePath(fileName), localizedDescription(error)}});
    }
}

void ManagedSettings::administer(ProfileLibrary &library) const {
    library.setManaged(m_profiles, policyInForce().allowCustomProfiles);
}

std::optional<Profile> ManagedSettings::startProfile(const ProfileLibrary &library) const {
    if (!m_policy || !m_policy->startProfile)
        return std::nullopt;
    return library.profile(*m_policy->startProfile);
}

} // namespace norvane
