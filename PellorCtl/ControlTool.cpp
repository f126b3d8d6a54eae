#include "ControlTool.h"

#include "Configuration/OriginalSettingsBackup.h"
#include "ControlClient.h"
#include "LocalSession.h"
#include "Localization/L10n.h"
#include "OutputFormat.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"
#include "Platform/ToolRunner.h"
#include "ProfileLookup.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "RuleListing.h"
#include "Rules/RuleBook.h"
#include "Sessions/SessionRecord.h"
#include "Status/SleepDiagnosis.h"
#include "Worlds/World.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QUuid>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;
using control::ControlClient;
using control::Request;
using control::Response;

// How long to wait for a running Pellor to accept the connection (when none runs, the attempt
// fails at once), and for its answer to a question that needs no change.
constexpr int connectTimeoutMs = 1000;
constexpr int statusTimeoutMs = 5000;

// The session Pellor or pellorctl left in effect; none when there is none or it cannot be read.
std::optional<Session> storedSession() {
    try {
        return LocalSession::record()->load();
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

bool pellorRuns() {
    return ControlClient::send({Request::Kind::status, {}, {}}, connectTimeoutMs, statusTimeoutMs)
        .response.has_value();
}

// The rule that applied `session`, described as the rules file has it now (it may have been
// changed since), else as it read when it applied.
std::optional<AppliedByRule> ruleOf(const Session &session) {
    if (!session.rule)
        return std::nullopt;
    const RuleBook book;
    for (const Rule &rule : book.rules())
        if (rule.id == session.rule->id)
            return AppliedByRule{rule.id, rule.when.description()};
    return session.rule;
}

bool hasEnabledRules() {
    const RuleBook book;
    return std::any_of(book.rules().cbegin(), book.rules().cend(),
                       [](const Rule &rule) { return rule.enabled; });
}

OutputFormat::Application knownApplication() {
    const ControlClient::Result result =
        ControlClient::send({Request::Kind::status, {}, {}}, connectTimeoutMs, statusTimeoutMs);
    const std::optional<Session> stored = storedSession();
    OutputFormat::Application application;
    application.running = result.response.has_value();
    if (result.response)
        application.session = result.response->session;
    // Not running: whatever Pellor or an earlier pellorctl applied is still in effect. A damaged
    // record tells nothing; the settings themselves are read anyway.
    else if (stored)
        application.session = control::SessionState::applied(*stored, QDateTime::currentDateTime());
    // The running Pellor keeps the record too, and only the record says which rule applied it.
    if (stored && application.session.profileId == stored->profile.id)
        application.rule = ruleOf(*stored);
    return application;
}

// What was changed outside Pellor since the applied profile: the record holds its settings,
// whoever applied it.
QList<Drift> driftSince(const SystemSettings &settings,
                        const OutputFormat::Application &application) {
    const std::optional<Session> applied = storedSession();
    if (!applied || application.session.profileId != applied->profile.id ||
        application.session.applying)
        return {};
    return Drift::between(settings, applied->profile);
}

// What a toggle of `profile` applies: the profile, or, while it is in effect, the profile in
// effect before it; Normal when that is unknown, gone, or the same profile again.
Profile toggled(const ProfileLibrary &library, const Profile &profile) {
    const std::optional<QString> current = knownApplication().session.profileId;
    if (current != profile.id)
        return profile;
    const std::optional<Session> stored = storedSession();
    if (!stored || stored->profile.id != profile.id || !stored->previousProfileId ||
        *stored->previousProfileId == profile.id)
        return library.normal();
    return library.profile(*stored->previousProfileId).value_or(library.normal());
}

} // namespace

ControlTool::ControlTool(QTextStream &out, QTextStream &err, bool terminal)
    : m_out(out), m_err(err), m_terminal(terminal) {}

ExitCode ControlTool::run(const QStringList &arguments) {
    try {
        const Command command = Command::parse(arguments);
        switch (command.kind) {
        case Command::Kind::help:
            m_out << command.helpText;
            return ExitCode::success;
        case Command::Kind::version:
            m_out << "pellorctl " << QCoreApplication::applicationVersion() << Qt::endl;
            return ExitCode::success;
        case Command::Kind::list:
            return list(command);
        case Command::Kind::status:
            return status(command);
        case Command::Kind::check:
            return check(command);
        case Command::Kind::apply:
            return apply(command);
        case Command::Kind::toggle:
            return toggle(command);
        case Command::Kind::restore:
            return restore();
        case Command::Kind::diagnose:
            return diagnose(command);
        case Command::Kind::setAside:
            return setAside(command.storedFile);
        case Command::Kind::rules:
            return rules(command);
        }
    } catch (const UsageError &error) {
        m_err << error.message << Qt::endl;
        return ExitCode::usage;
    } catch (const std::exception &error) {
        // The core reports its failures as state; anything thrown is still a message, not a crash.
        m_err << localizedDescription(error) << Qt::endl;
        return ExitCode::failed;
    }
    return ExitCode::usage;
}

std::unique_ptr<ProfileLibrary> ControlTool::loadLibrary() {
    auto library = std::make_unique<ProfileLibrary>(std::make_shared<FileProfileStorage>());
    administrator().administer(*library);
    // As in the window: the factory presets stand in, and the file stays as it is.
    if (const std::optional<QString> &error = library->loadError())
        m_err
            << *error << Qt::endl
            << L10n::text(
                   {"The profiles file is “{0}”. To keep it aside and start again from the factory presets, run \"pellorctl set-aside profiles\".",
                    {library->location()}})
            << Qt::endl;
    return library;
}

const ManagedSettings &ControlTool::administrator() {
    if (!m_administrator) {
        m_administrator = ManagedSettings::load();
        for (const QString &problem : m_administrator->problems())
            m_err << problem << Qt::endl;
    }
    return *m_administrator;
}

bool ControlTool::pmsetIsAvailable() {
    if (!currentSystem().isMac)
        return true;
    const QString pmset = ToolPaths::system().pmset;
    if (QFileInfo(pmset).isExecutable())
        return true;
    m_err
        << L10n::text(
               {"pmset was not found at {0}; without it the Mac's settings cannot be read or changed.",
                {pmset}})
        << Qt::endl;
    return false;
}

ExitCode ControlTool::list(const Command &command) {
    const std::unique_ptr<ProfileLibrary> library = loadLibrary();
    OutputFormat::Application application = knownApplication();
    application.administrator = administrator();
    if (command.json)
        m_out << OutputFormat::listJson(library->profiles(), application);
    else
        m_out << OutputFormat::listText(library->profiles(), application);
    return ExitCode::success;
}

ExitCode ControlTool::status(const Command &command) {
    if (!pmsetIsAvailable())
        return ExitCode::failed;
    const std::shared_ptr<const World> world = currentWorld();
    const SystemSettings settings = world->readSettings();
    const PowerStatus power = world->readPower();
    OutputFormat::Application application = knownApplication();
    application.rulesWaitForPellor = !application.running && hasEnabledRules();
    application.drift = driftSince(settings, application);
    application.administrator = administrator();
    if (command.json)
        m_out << OutputFormat::statusJson(settings, power, application, world->identity());
    else
        m_out << OutputFormat::statusText(settings, power, application, world->identity());
    m_out.flush();
    if (!settings.error)
        return ExitCode::success;
    m_err << *settings.error << Qt::endl;
    return ExitCode::failed;
}

ExitCode ControlTool::check(const Command &command) {
    if (!pmsetIsAvailable())
        return ExitCode::failed;
    const SystemSettings settings = currentWorld()->readSettings();
    if (settings.error) {
        m_err << *settings.error << Qt::endl;
        return ExitCode::failed;
    }
    OutputFormat::Application application = knownApplication();
    application.drift = driftSince(settings, application);
    application.administrator = administrator();
    const QList<Policy::Excess> overLimits =
        application.administrator.policyInForce().excesses(settings);
    if (command.json)
        m_out << OutputFormat::checkJson(overLimits, application);
    else
        m_out << OutputFormat::checkText(overLimits, application);
    return overLimits.isEmpty() && application.drift.isEmpty() ? ExitCode::success
                                                               : ExitCode::outOfPolicy;
}

std::optional<Profile> ControlTool::findProfile(const ProfileLibrary &library,
                                                const QString &name) {
    const ProfileLookup found = ProfileLookup::find(library.profiles(), name);
    if (found.result == ProfileLookup::Result::found)
        return found.matches.first();
    if (found.result == ProfileLookup::Result::notFound) {
        m_err << L10n::text(
                     {R"(No profile is called "{0}". "pellorctl list" shows them all.)", {name}})
              << Qt::endl;
        return std::nullopt;
    }
    QStringList candidates;
    for (const Profile &profile : found.matches)
        candidates << profile.id + u" ("_s + profile.localizedTitle() + u')';
    m_err << L10n::text({"\"{0}\" could mean more than one profile: {1}. Use its identifier.",
                         {name, candidates.join(u", "_s)}})
          << Qt::endl;
    return std::nullopt;
}

ExitCode ControlTool::apply(const Command &command) {
    const std::unique_ptr<ProfileLibrary> library = loadLibrary();
    const std::optional<Profile> profile = findProfile(*library, command.profile);
    if (!profile)
        return ExitCode::noSuchProfile;
    return applyProfile(*library, *profile, command.minutes);
}

ExitCode ControlTool::toggle(const Command &command) {
    const std::unique_ptr<ProfileLibrary> library = loadLibrary();
    const std::optional<Profile> profile = findProfile(*library, command.profile);
    if (!profile)
        return ExitCode::noSuchProfile;
    const Profile target = toggled(*library, *profile);
    // The way back leaves what it goes back to with no timer to return from it.
    return applyProfile(*library, target,
                        target.id == profile->id ? command.minutes : std::optional<qint64>(0));
}

ExitCode ControlTool::applyProfile(const ProfileLibrary &library, const Profile &profile,
                                   std::optional<qint64> minutes) {
    const ControlClient::Result handed =
        ControlClient::send({Request::Kind::apply, profile.id, minutes}, connectTimeoutMs);
    if (handed.failure == ControlClient::Failure::notRunning && !handed.response) {
        if (!pmsetIsAvailable())
            return ExitCode::failed;
        LocalSession session(library, m_out, m_err, {{}, {}, 1000, m_terminal, {}});
        return advised(session.apply(profile, minutes));
    }
    return advised(report(handed, systemText("Saved and verified macOS settings for {0}.",
                                             "Saved and verified {1} settings for {0}.",
                                             {profile.localizedTitle()})));
}

ExitCode ControlTool::restore() {
    const ControlClient::Result handed =
        ControlClient::send({Request::Kind::restore, {}, {}}, connectTimeoutMs);
    if (handed.failure == ControlClient::Failure::notRunning && !handed.response) {
        if (!pmsetIsAvailable())
            return ExitCode::failed;
        // A restore needs no profile, so a damaged profiles file is no obstacle.
        const ProfileLibrary library(std::make_shared<FileProfileStorage>());
        LocalSession session(library, m_out, m_err, {{}, {}, 1000, m_terminal, {}});
        return advised(session.restore());
    }
    return advised(report(
        handed, L10n::text("Restored the original settings saved before the first change.")));
}

ExitCode ControlTool::diagnose(const Command &command) {
    if (!pmsetIsAvailable())
        return ExitCode::failed;
    const std::shared_ptr<const World> world = currentWorld();
    const SystemSettings settings = world->readSettings();
    const std::optional<PowerAssertions> assertions = world->readHolders();
    const OutputFormat::Application application = knownApplication();
    if (command.json)
        m_out << OutputFormat::diagnosisJson(settings, assertions, application);
    else
        m_out << sleepReport(settings, assertions, OutputFormat::reportSession(application));
    m_out.flush();
    if (!settings.error)
        return ExitCode::success;
    m_err << *settings.error << Qt::endl;
    return ExitCode::failed;
}

ExitCode ControlTool::advised(ExitCode code) {
    if (code == ExitCode::failed)
        adviseOnDamagedBackup();
    return code;
}

void ControlTool::adviseOnDamagedBackup() {
    try {
        (void)OriginalSettingsBackup::ofCurrentSystem().load();
    } catch (const ConfigurationError &error) {
        if (!error.damagedFile())
            return;
        m_err
            << L10n::text(
                   "To keep the damaged backup aside and make a new one at the next apply, run \"pellorctl set-aside backup\".")
            << Qt::endl;
        if (const std::optional<Session> inEffect = storedSession())
            m_err
                << L10n::text(
                       {"{0} is in effect now, so if you set the backup aside, the new one will hold the system's default settings for what Pellor changes, not {0}'s.",
                        {inEffect->profile.localizedTitle()}})
                << Qt::endl;
    }
}

ExitCode ControlTool::rules(const Command &command) {
    RuleBook book;
    if (const std::optional<QString> &error = book.loadError()) {
        m_err
            << *error << Qt::endl
            << L10n::text(
                   "To keep the damaged rules file aside and start again without rules, run \"pellorctl set-aside rules\".")
            << Qt::endl;
        return ExitCode::damagedRules;
    }
    try {
        switch (command.rulesAction) {
        case Command::RulesAction::list:
            return listRules(book, command.json);
        case Command::RulesAction::add:
            return addRule(book, command);
        default:
            changeRules(book, command);
            return ExitCode::success;
        }
    } catch (const ConfigurationError &refused) {
        // The file was read, so what the book refuses is what was typed: a number naming no rule.
        m_err << refused.errorDescription() << Qt::endl;
        return ExitCode::usage;
    }
}

ExitCode ControlTool::listRules(const RuleBook &book, bool json) {
    const std::unique_ptr<ProfileLibrary> library = loadLibrary();
    const RuleListing listing = RuleListing::make(book, administrator(), *library, *currentWorld(),
                                                  QDateTime::currentDateTime(), pellorRuns());
    if (json)
        m_out << OutputFormat::rulesJson(listing);
    else
        m_out << OutputFormat::rulesText(listing);
    return ExitCode::success;
}

ExitCode ControlTool::addRule(RuleBook &book, const Command &command) {
    const std::unique_ptr<ProfileLibrary> library = loadLibrary();
    const std::optional<Profile> profile = findProfile(*library, command.profile);
    if (!profile)
        return ExitCode::noSuchProfile;
    const Rule rule{QUuid::createUuid().toString(QUuid::WithoutBraces), command.condition,
                    profile->id, true};
    book.add(rule);
    m_out << L10n::text(
                 {"Added rule {0}: {1}.",
                  {QString::number(book.rules().size()), rule.sentence(profile->localizedTitle())}})
          << Qt::endl;
    if (!pellorRuns())
        m_out << OutputFormat::rulesNeedPellor() << Qt::endl;
    return ExitCode::success;
}

void ControlTool::changeRules(RuleBook &book, const Command &command) {
    const auto number = [&command](int which) { return command.ruleNumbers.at(which); };
    const auto numberText = [&](int which) { return QString::number(number(which)); };
    switch (command.rulesAction) {
    case Command::RulesAction::remove:
        book.remove(number(0) - 1);
        m_out << L10n::text({"Removed rule {0}.", {numberText(0)}}) << Qt::endl;
        break;
    case Command::RulesAction::move:
        book.move(number(0) - 1, number(1) - 1);
        m_out << L10n::text({"Rule {0} is now rule {1}.", {numberText(0), numberText(1)}})
              << Qt::endl;
        break;
    case Command::RulesAction::enable:
    case Command::RulesAction::disable: {
        const bool enabled = command.rulesAction == Command::RulesAction::enable;
        book.setEnabled(number(0) - 1, enabled);
        m_out << (enabled ? L10n::text({"Rule {0} is enabled.", {numberText(0)}})
                          : L10n::text({"Rule {0} is disabled.", {numberText(0)}}))
              << Qt::endl;
        break;
    }
    case Command::RulesAction::pause:
        book.setPaused(true);
        m_out << L10n::text("Automatic switching is paused; \"pellorctl rules resume\" resumes it.")
              << Qt::endl;
        break;
    case Command::RulesAction::resume:
        book.setPaused(false);
        m_out << L10n::text("Automatic switching is on again.") << Qt::endl;
        break;
    case Command::RulesAction::list:
    case Command::RulesAction::add:
        break;
    }
}

ExitCode ControlTool::setAside(Command::StoredFile file) {
    switch (file) {
    case Command::StoredFile::backup:
        return setAsideBackup();
    case Command::StoredFile::profiles:
        return setAsideProfiles();
    case Command::StoredFile::rules:
        break;
    }
    return setAsideRules();
}

ExitCode ControlTool::setAsideBackup() {
    const OriginalSettingsBackup backup = OriginalSettingsBackup::ofCurrentSystem();
    if (!backup.exists()) {
        m_err << L10n::text("There is no original-settings backup to set aside.") << Qt::endl;
        return ExitCode::failed;
    }
    try {
        (void)backup.load();
        m_err << L10n::text(
                     {"The original-settings backup “{0}” is not damaged; it stays where it is.",
                      {backup.path()}})
              << Qt::endl;
        return ExitCode::failed;
    } catch (const ConfigurationError &) {
        // Damaged: the one case to set it aside.
    }
    m_out << OriginalSettingsBackup::setAsideNotice(backup.setAside(QDate::currentDate()),
                                                    storedSession().has_value())
          << Qt::endl;
    return ExitCode::success;
}

ExitCode ControlTool::setAsideProfiles() {
    if (pellorRuns()) {
        m_err
            << L10n::text(
                   "Pellor is open: use Set Aside and Start Fresh in its window, or quit it first.")
            << Qt::endl;
        return ExitCode::failed;
    }
    ProfileLibrary library(std::make_shared<FileProfileStorage>());
    const std::optional<QString> aside = library.setAsideAndStartFresh(QDate::currentDate());
    if (!aside) {
        m_err << L10n::text({"The profiles file “{0}” is not damaged; it stays where it is.",
                             {library.location()}})
              << Qt::endl;
        return ExitCode::failed;
    }
    m_out
        << L10n::text(
               {"The damaged profiles file is now “{0}”. Pellor starts again from the factory presets.",
                {*aside}})
        << Qt::endl;
    return ExitCode::success;
}

// Unlike the profiles, this needs no closed Pellor: its rule book writes nothing while the file is
// damaged, so nothing of its can overwrite the fresh start.
ExitCode ControlTool::setAsideRules() {
    RuleBook book;
    if (!QFileInfo::exists(book.path())) {
        m_err << L10n::text("There is no rules file to set aside.") << Qt::endl;
        return ExitCode::failed;
    }
    const std::optional<QString> aside = book.setAside(QDate::currentDate());
    if (!aside) {
        m_err << L10n::text(
                     {"The rules file “{0}” is not damaged; it stays where it is.", {book.path()}})
              << Qt::endl;
        return ExitCode::failed;
    }
    m_out << L10n::text({"The damaged rules file is now “{0}”. Pellor starts again without rules.",
                         {*aside}})
          << Qt::endl;
    return ExitCode::success;
}

ExitCode ControlTool::report(const ControlClient::Result &handed, const QString &success) {
    if (!handed.response) {
        m_err
            << L10n::text(
                   "Pellor ended the connection without an answer. Check the current settings with \"pellorctl status\".")
            << Qt::endl;
        return ExitCode::failed;
    }
    const Response &response = *handed.response;
    switch (response.outcome) {
    case Response::Outcome::ok:
        m_out << success << Qt::endl;
        if (response.session.secondsLeft)
            m_out << L10n::text({"Pellor returns to Normal in {0}.", {response.session.timeLabel}})
                  << Qt::endl;
        return ExitCode::success;
    case Response::Outcome::cancelled:
        m_err << response.message << Qt::endl;
        return ExitCode::cancelled;
    case Response::Outcome::notFound:
        m_err << L10n::text("Pellor no longer has this profile. \"pellorctl list\" shows them all.")
              << Qt::endl;
        return ExitCode::noSuchProfile;
    case Response::Outcome::busy:
        m_err << L10n::text(
                     "Pellor is applying settings right now. Try again when it has finished.")
              << Qt::endl;
        return ExitCode::failed;
    case Response::Outcome::invalid:
        m_err
            << L10n::text(
                   "The running Pellor did not understand the request. Quit it and start it again after updating.")
            << Qt::endl;
        return ExitCode::failed;
    case Response::Outcome::failed:
        break;
    }
    m_err << response.message << Qt::endl;
    return ExitCode::failed;
}

} // namespace norvane
