#pragma once

#include "AdministratorFolder.h"
#include "Policy.h"
#include "Profiles/Profile.h"
#include "Rules/Rule.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;

// What the administrator's folder provides, read once: the policy, the managed profiles
// (profiles.json, the profiles file's format) and the managed rules (rules.json, the rules
// file's format). A file that is refused or damaged is left out whole and named in problems();
// the rest counts, and a missing file is simply no part of it.
class ManagedSettings {
public:
    static constexpr const char *policyFile = "policy.json";
    static constexpr const char *profilesFile = "profiles.json";
    static constexpr const char *rulesFile = "rules.json";

    [[nodiscard]] static ManagedSettings
    load(const AdministratorFolder &folder = AdministratorFolder());

    [[nodiscard]] const QString &folder() const { return m_folder; }
    [[nodiscard]] const std::optional<Policy> &policy() const { return m_policy; }
    // The policy in force: the folder's, else the default one that allows everything.
    [[nodiscard]] Policy policyInForce() const { return m_policy.value_or(Policy()); }
    [[nodiscard]] const QList<Profile> &profiles() const { return m_profiles; }
    [[nodiscard]] const QList<Rule> &rules() const { return m_rules; }
    // One sentence per file left out, naming it and why.
    [[nodiscard]] const QStringList &problems() const { return m_problems; }

    // Shows the managed profiles beside the person's in `library`, with the policy's say on
    // new profiles.
    void administer(ProfileLibrary &library) const;
    // The policy's start profile from `library`; none when the policy names none or the library
    // has no such profile.
    [[nodiscard]] std::optional<Profile> startProfile(const ProfileLibrary &library) const;

private:
    // Hands the file's bytes to `decode`; a file refused, unreadable or damaged becomes a problem.
    void readFile(const AdministratorFolder &folder, const QString &fileName,
                  const std::function<void(const QByteArray &)> &decode);

    QString m_folder;
    std::optional<Policy> m_policy;
    QList<Profile> m_profiles;
    QList<Rule> m_rules;
    QStringList m_problems;
};

} // namespace norvane
