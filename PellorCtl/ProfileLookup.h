#pragma once

#include "Profiles/Profile.h"

#include <QList>
#include <QString>

namespace norvane {

// Finds the profile a person names on the command line: by its identifier, else by its title in
// any letter case, in English or in the current language. A name that fits several profiles is
// ambiguous rather than a guess.
struct ProfileLookup {
    enum class Result { found, notFound, ambiguous };

    Result result = Result::notFound;
    QList<Profile> matches; // the one found, or every candidate of an ambiguous name

    [[nodiscard]] static ProfileLookup find(const QList<Profile> &profiles, const QString &name,
                                            const QString &language = {});
};

} // namespace norvane
