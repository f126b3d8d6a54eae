#include "ProfileLookup.h"

namespace norvane {

ProfileLookup ProfileLookup::find(const QList<Profile> &profiles, const QString &name,
                                  const QString &language) {
    const QString wanted = name.trimmed();
    for (const Profile &profile : profiles)
        if (profile.id.compare(wanted, Qt::CaseInsensitive) == 0)
            return {Result::found, {profile}};

    QList<Profile> matches;
    for (const Profile &profile : profiles) {
        const QStringList titles{profile.title, profile.localizedTitle(QStringLiteral("en")),
                                 profile.localizedTitle(language)};
        if (std::any_of(titles.cbegin(), titles.cend(), [&](const QString &title) {
                return title.compare(wanted, Qt::CaseInsensitive) == 0;
            }))
            matches << profile;
    }
    if (matches.isEmpty())
        return {Result::notFound, {}};
    return {matches.size() == 1 ? Result::found : Result::ambiguous, matches};
}

} // namespace norvane
