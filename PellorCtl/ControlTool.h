#pragma once

#include "CommandLine.h"
#include "ControlClient.h"
#include "ExitCode.h"
#include "Managed/ManagedSettings.h"
#include "Profiles/Profile.h"

#include <QStringList>
#include <memory>
#include <optional>

class QTextStream;

namespace norvane {

class ProfileLibrary;
class RuleBook;

// Carries out one pellorctl command: hands apply, toggle and restore to the running Pellor when
// there is one (so it stays the one owner of sessions), else runs them here; prints the outcome and
// returns the exit code. Messages for people go to `err`, results to `out`; with --json, `out`
// gets JSON only.
class ControlTool {
public:
    ControlTool(QTextStream &out, QTextStream &err, bool terminal);

    ExitCode run(const QStringList &arguments);

private:
    ExitCode list(const Command &command);
    ExitCode status(const Command &command);
    // Exits with outOfPolicy when the live settings exceed the policy's limits or differ from
    // what the applied profile set.
    ExitCode check(const Command &command);
    ExitCode apply(const Command &command);
    ExitCode toggle(const Command &command);
    ExitCode restore();
    ExitCode diagnose(const Command &command);
    ExitCode rules(const Command &command);
    ExitCode listRules(const RuleBook &book, bool json);
    ExitCode addRule(RuleBook &book, const Command &command);
    // remove, move, enable, disable, pause, resume. Throws ConfigurationError for a number that
    // names no rule.
    void changeRules(RuleBook &book, const Command &command);
    ExitCode setAside(Command::StoredFile file);
    ExitCode setAsideBackup();
    ExitCode setAsideProfiles();
    ExitCode setAsideRules();
    // Applies `profile` here or in the running Pellor, as apply and toggle do.
    ExitCode applyProfile(const ProfileLibrary &library, const Profile &profile,
                          std::optional<qint64> minutes);
    // The profile `name` names, or none with the reason printed.
    [[nodiscard]] std::optional<Profile> findProfile(const ProfileLibrary &library,
                                                     const QString &name);
    // Passes `code` on, advising on a damaged backup when the change failed.
    ExitCode advised(ExitCode code);
    // After a failed change: says how to set the backup aside when that is what stopped it.
    void adviseOnDamagedBackup();
    // Prints what the running Pellor answered and returns its exit code.
    ExitCode report(const control::ControlClient::Result &handed, const QString &success);
    // The library; when the profiles file is damaged, its factory presets, with the reason and
    // the way out printed.
    [[nodiscard]] std::unique_ptr<ProfileLibrary> loadLibrary();
    // What the administrator's folder provides, read once; each file left out is said then.
    [[nodiscard]] const ManagedSettings &administrator();
    // False, with the reason printed, when the Mac's pmset cannot be run.
    [[nodiscard]] bool pmsetIsAvailable();

    QTextStream &m_out;
    QTextStream &m_err;
    bool m_terminal;
    std::optional<ManagedSettings> m_administrator;
};

} // namespace norvane
