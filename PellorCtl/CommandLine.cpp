#include "CommandLine.h"

#include "ConditionSyntax.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QStringList &commandNames() {
    static const QStringList names{u"list"_s,     u"status"_s, u"check"_s,
                                   u"apply"_s,    u"toggle"_s, u"restore"_s,
                                   u"diagnose"_s, u"rules"_s,  u"set-aside"_s};
    return names;
}

[[noreturn]] void usage(const QString &message) {
    UsageError::raise(message);
}

QString exitCodeSection() {
    const QList<std::pair<int, QString>> codes{
        {0, L10n::text("success")},
        {1, L10n::text("the change failed; the message is on standard error")},
        {2, L10n::text("usage error")},
        {3, L10n::text("administrator authorization was cancelled")},
        {4, L10n::text("no such profile")},
        {5, L10n::text("the rules file is damaged; \"pellorctl set-aside rules\" moves it aside")},
        {6,
         L10n::text(
             "check: the live settings exceed the management policy, or differ from the applied profile")},
    };
    QString text = L10n::text("Exit codes:");
    for (const auto &[code, meaning] : codes)
        text += u"\n  "_s + QString::number(code) + u"  "_s + meaning;
    return text;
}

QString diagnoseDescription() {
    return systemText(
        "Explain what keeps the display on or the Mac awake, as a report to share.",
        "Explain what keeps the display on or this computer awake, as a report to share.");
}

QString checkDescription() {
    return L10n::text(
        "Check that the live settings keep the management policy and are what the applied profile set.");
}

QString setAsideDescription() {
    return L10n::text(
        "Move a damaged original-settings backup, profiles file or rules file aside, keeping it, so Pellor can start a new one.");
}

QString toggleSummary() {
    return L10n::text(
        "Apply a profile, or, when it is the one in effect, go back to the profile in effect before it.");
}

// "  synopsis   meaning" lines, the meanings in one column.
QString table(const QList<std::pair<QString, QString>> &rows) {
    QString text;
    for (const auto &[synopsis, meaning] : rows)
        text += u"\n  "_s + synopsis.leftJustified(46) + u' ' + meaning;
    return text;
}

QString overview() {
    const QList<std::pair<QString, QString>> commands{
        {u"list [--json]"_s,
         L10n::text("List the profiles; the active one is marked while Pellor is open.")},
        {u"status [--json]"_s,
         L10n::text("Show the live settings, the power source and the applied profile.")},
        {u"check [--json]"_s, checkDescription()},
        {u"apply PROFILE [--for MINUTES | --no-return]"_s,
         L10n::text("Apply a profile, found by its identifier or title.")},
        {u"toggle PROFILE [--for MINUTES | --no-return]"_s, toggleSummary()},
        {u"restore"_s, L10n::text("Restore the original settings saved before the first change.")},
        {u"diagnose [--json]"_s, diagnoseDescription()},
        {u"rules [--json]"_s, L10n::text("List the rules, numbered from 1, with their state.")},
        {u"rules ACTION [ARGUMENTS]"_s,
         L10n::text("Change the rules; \"pellorctl rules --help\" tells how.")},
        {u"set-aside backup|profiles|rules"_s, setAsideDescription()},
    };
    return systemText(
               "Switch your Mac between Pellor profiles from the command line or a script.",
               "Switch this computer between Pellor profiles from the command line or a script.") +
           u"\n\n"_s + L10n::text("Commands:") + table(commands) + u"\n\n"_s + exitCodeSection();
}

QString applyDetails() {
    return L10n::text(
        "While Pellor is open, it applies the profile and keeps its timer. Otherwise a timed profile keeps pellorctl running with a countdown and returns to Normal when the time is up, or on Ctrl+C.");
}

QString rulesDescription() {
    const QList<std::pair<QString, QString>> actions{
        {u"rules [--json]"_s, L10n::text("List the rules, numbered from 1, with their state.")},
        {u"rules add --when CONDITION --use PROFILE"_s, L10n::text("Add a rule at the end.")},
        {u"rules remove N"_s, L10n::text("Remove rule N.")},
        {u"rules move N M"_s, L10n::text("Move rule N to place M.")},
        {u"rules enable N | disable N"_s, L10n::text("Turn rule N on or off, keeping it.")},
        {u"rules pause | resume"_s, L10n::text("Pause automatic switching, or resume it.")},
    };
    return L10n::text(
               "A rule uses a profile while its condition holds, and goes back to what was in effect before when it stops holding. Rules act only while Pellor runs. When several hold, a low battery comes first, then the order of the list.") +
           u"\n"_s + table(actions) + u"\n\nCONDITION: "_s +
           QString::fromUtf8(ConditionSyntax::forms).replace(u"|"_s, u" | "_s) + u"\n"_s +
           L10n::text(
               "battery-below N holds at or below N % (1 to 99). app NAME: a program name, a desktop-file id or a bundle identifier.") +
           u"\n"_s +
           L10n::text(
               "external-display holds while a display other than the computer's built-in one is connected. Only the running Pellor sees the displays, so pellorctl lists such a rule as decided by Pellor.") +
           u"\n"_s +
           L10n::text(
               "DAYS: mon, tue, wed, thu, fri, sat, sun, separated by commas, with ranges such as mon-fri, or weekdays, weekends or daily. A schedule that ends before it starts runs across midnight, as 22:00-07:00 does.") +
           u"\n\n"_s + L10n::text("Example:") +
           u"\n  pellorctl rules add --when schedule mon-fri 09:00-17:30 --use focus"_s;
}

QString commandDescription(const QString &command) {
    if (command == u"list")
        return L10n::text("List the profiles; the active one is marked while Pellor is open.");
    if (command == u"status")
        return L10n::text("Show the live settings, the power source and the applied profile.");
    if (command == u"check")
        return checkDescription();
    if (command == u"restore")
        return L10n::text("Restore the original settings saved before the first change.");
    if (command == u"diagnose")
        return diagnoseDescription();
    if (command == u"set-aside")
        return setAsideDescription();
    if (command == u"rules")
        return rulesDescription();
    if (command == u"toggle")
        return toggleSummary() + u' ' +
               L10n::text(
                   "That is Normal when there is none. One command for a keyboard shortcut.") +
               u"\n\n"_s +
               L10n::text(
                   "--for and --no-return apply when the profile is switched on; going back leaves the profile before it with no automatic return.") +
               u"\n\n"_s + applyDetails();
    return L10n::text("Apply a profile, found by its identifier or title.") + u"\n\n"_s +
           applyDetails();
}

[[noreturn]] void unknownOption(const QCommandLineParser &parser) {
    const QString name = parser.unknownOptionNames().first();
    usage(L10n::text({"Unknown option: {0}", {(name.size() == 1 ? u"-"_s : u"--"_s) + name}}));
}

// The parser's help, its usage line naming the program as people type it.
QString helpOf(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    const qsizetype end = text.indexOf(u'\n');
    if (QCoreApplication::instance())
        text.replace(
            0, end,
            text.left(end).replace(QCoreApplication::arguments().constFirst(), u"pellorctl"_s));
    return text;
}

qint64 minutesFrom(const QString &value) {
    bool ok = false;
    const qint64 minutes = value.toLongLong(&ok, 10);
    if (!ok || minutes < Command::minMinutes || minutes > Command::maxMinutes)
        usage(L10n::text(
            {"--for takes a whole number of minutes from 1 to 1440, not \"{0}\".", {value}}));
    return minutes;
}

// A command that needs nothing more: help, with its text, or the version.
Command only(Command::Kind kind, const QString &helpText = {}) {
    Command command;
    command.kind = kind;
    command.helpText = helpText;
    return command;
}

void refuseExtra(const QStringList &values, qsizetype expected) {
    if (values.size() > expected)
        usage(L10n::text({"Unexpected argument: {0}", {values[expected]}}));
}

struct Options {
    QCommandLineOption help{{u"h"_s, u"help"_s}, L10n::text("Show this help.")};
    QCommandLineOption version{u"version"_s, L10n::text("Show the version.")};
    QCommandLineOption json{u"json"_s,
                            L10n::text("Print JSON only, in a stable shape with a version field.")};
    QCommandLineOption forMinutes{
        u"for"_s, L10n::text("Return to Normal after MINUTES minutes (1 to 1440)."), u"MINUTES"_s};
    QCommandLineOption noReturn{
        u"no-return"_s, L10n::text("Leave the profile applied, without an automatic return.")};
    QCommandLineOption when{u"when"_s, L10n::text("rules add: when the rule holds (CONDITION)."),
                            u"CONDITION"_s};
    QCommandLineOption use{u"use"_s,
                           L10n::text("rules add: the profile to use, by its identifier or title."),
                           u"PROFILE"_s};
};

// The option's one value; given twice it is a mistake rather than a choice.
QString onlyValue(const QCommandLineParser &parser, const QCommandLineOption &option) {
    if (parser.values(option).size() > 1)
        usage(L10n::text({"Give {0} only once.", {u"--"_s + option.names().constLast()}}));
    return parser.value(option);
}

// apply and toggle: PROFILE [--for MINUTES | --no-return].
Command profileCommand(const QCommandLineParser &parser, const Options &options,
                       Command::Kind kind) {
    const QStringList values = parser.positionalArguments();
    if (values.size() < 2 || values[1].trimmed().isEmpty())
        usage(kind == Command::Kind::apply ? L10n::text("Name the profile to apply.")
                                           : L10n::text("Name the profile to toggle."));
    refuseExtra(values, 2);
    if (parser.isSet(options.forMinutes) && parser.isSet(options.noReturn))
        usage(L10n::text("Use either --for or --no-return, not both."));
    Command result;
    result.kind = kind;
    result.profile = values[1];
    if (parser.isSet(options.forMinutes))
        result.minutes = minutesFrom(onlyValue(parser, options.forMinutes));
    else if (parser.isSet(options.noReturn))
        result.minutes = 0;
    return result;
}

Command setAsideCommand(const QCommandLineParser &parser) {
    const QStringList values = parser.positionalArguments();
    const QStringList files{u"backup"_s, u"profiles"_s, u"rules"_s};
    if (values.size() < 2 || !files.contains(values[1]))
        usage(L10n::text("Name the file to set aside: backup, profiles or rules."));
    refuseExtra(values, 2);
    Command result;
    result.kind = Command::Kind::setAside;
    result.storedFile = Command::StoredFile(files.indexOf(values[1]));
    return result;
}

struct RulesVerb {
    QString name;
    Command::RulesAction action;
    QString operands; // as the usage line names them
};

const QList<RulesVerb> &rulesVerbs() {
    using Action = Command::RulesAction;
    static const QList<RulesVerb> verbs{{u"add"_s, Action::add, {}},
                                        {u"remove"_s, Action::remove, u"N"_s},
                                        {u"move"_s, Action::move, u"N M"_s},
                                        {u"enable"_s, Action::enable, u"N"_s},
                                        {u"disable"_s, Action::disable, u"N"_s},
                                        {u"pause"_s, Action::pause, {}},
                                        {u"resume"_s, Action::resume, {}}};
    return verbs;
}

qint64 ruleNumber(const QString &value) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok, 10);
    if (!ok)
        usage(L10n::text(
            {R"("{0}" is not a rule number; "pellorctl rules" numbers them from 1.)", {value}}));
    return number;
}

void onlyWith(const QCommandLineParser &parser, const QCommandLineOption &option,
              const QString &command) {
    if (parser.isSet(option))
        usage(L10n::text(
            {"{0} goes only with \"{1}\".", {u"--"_s + option.names().constLast(), command}}));
}

// rules add --when CONDITION --use PROFILE: the rule must be possible before any file is read.
void readRule(const QCommandLineParser &parser, const Options &options, const QStringList &values,
              Command &result) {
    const QString form = u"pellorctl rules add --when "_s +
                         QString::fromUtf8(ConditionSyntax::forms) + u" --use PROFILE"_s;
    if (!parser.isSet(options.when) || !parser.isSet(options.use) ||
        onlyValue(parser, options.use).trimmed().isEmpty())
        usage(L10n::text({"Write it as \"{0}\".", {form}}));
    result.profile = onlyValue(parser, options.use);
    result.condition = ConditionSyntax::parse(onlyValue(parser, options.when), values);
    try {
        (void)Rule{{}, result.condition, result.profile, true}.validated();
    } catch (const ConfigurationError &impossible) {
        usage(impossible.errorDescription());
    }
}

Command rulesCommand(const QCommandLineParser &parser, const Options &options) {
    const QStringList values = parser.positionalArguments().mid(1);
    Command result;
    result.kind = Command::Kind::rules;
    if (values.isEmpty()) {
        onlyWith(parser, options.when, u"pellorctl rules add"_s);
        onlyWith(parser, options.use, u"pellorctl rules add"_s);
        result.json = parser.isSet(options.json);
        return result;
    }
    onlyWith(parser, options.json, u"pellorctl rules"_s);
    const auto verb = std::find_if(rulesVerbs().cbegin(), rulesVerbs().cend(),
                                   [&](const RulesVerb &known) { return known.name == values[0]; });
    if (verb == rulesVerbs().cend())
        usage(L10n::text(
            {"Unknown rules command: {0}. Use add, remove, move, enable, disable, pause or resume.",
             {values[0]}}));
    result.rulesAction = verb->action;
    if (verb->action == Command::RulesAction::add) {
        readRule(parser, options, values.mid(1), result);
        return result;
    }
    onlyWith(parser, options.when, u"pellorctl rules add"_s);
    onlyWith(parser, options.use, u"pellorctl rules add"_s);
    const QStringList numbers = values.mid(1);
    const qsizetype wanted = verb->operands.isEmpty() ? 0 : verb->operands.count(u' ') + 1;
    if (numbers.size() < wanted)
        usage(L10n::text({"Write it as \"{0}\".",
                          {u"pellorctl rules "_s + verb->name + u' ' + verb->operands}}));
    refuseExtra(numbers, wanted);
    for (const QString &number : numbers)
        result.ruleNumbers << ruleNumber(number);
    return result;
}

} // namespace

void UsageError::raise(const QString &problem) {
    throw UsageError{problem + u'\n' +
                     L10n::text("Run \"pellorctl --help\" for the commands and options.")};
}

Command Command::parse(const QStringList &given) {
    // The usage line names the program as people type it, not by the path it was started from.
    QStringList arguments = given;
    if (arguments.isEmpty())
        arguments << u"pellorctl"_s;
    arguments.first() = u"pellorctl"_s;
    const Options options;

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(options.help);
    parser.addOption(options.version);
    // First pass: only the command matters; its options are not known yet.
    (void)parser.parse(arguments);
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (!parser.unknownOptionNames().isEmpty())
            unknownOption(parser);
        if (parser.isSet(options.version))
            return only(Kind::version);
        parser.setApplicationDescription(overview());
        parser.addPositionalArgument(
            u"command"_s,
            L10n::text("list, status, check, apply, toggle, restore, diagnose, rules or set-aside"),
            u"COMMAND"_s);
        if (parser.isSet(options.help))
            return only(Kind::help, helpOf(parser));
        usage(L10n::text("No command given."));
    }

    const QString &command = positional.first();
    if (!commandNames().contains(command))
        usage(L10n::text({"Unknown command: {0}", {command}}));
    parser.setApplicationDescription(commandDescription(command));
    parser.addPositionalArgument(command, L10n::text("the command"), command);
    const bool takesJson = command == u"list" || command == u"status" || command == u"check" ||
                           command == u"diagnose" || command == u"rules";
    if (takesJson)
        parser.addOption(options.json);
    if (command == u"apply" || command == u"toggle") {
        parser.addPositionalArgument(
            u"PROFILE"_s,
            L10n::text(
                "A profile identifier or title, in any letter case, in English or in your language."));
        parser.addOption(options.forMinutes);
        parser.addOption(options.noReturn);
    }
    if (command == u"rules") {
        parser.addPositionalArgument(
            u"ACTION"_s,
            L10n::text("add, remove, move, enable, disable, pause or resume; none lists the rules"),
            u"[ACTION]"_s);
        parser.addOption(options.when);
        parser.addOption(options.use);
    }
    if (command == u"set-aside")
        parser.addPositionalArgument(u"FILE"_s, L10n::text("backup, profiles or rules"),
                                     u"backup|profiles|rules"_s);

    // Second pass, with the command's options.
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            unknownOption(parser);
        usage(parser.errorText());
    }
    if (parser.isSet(options.help))
        return only(Kind::help, helpOf(parser));
    if (parser.isSet(options.version))
        return only(Kind::version);

    if (command == u"apply")
        return profileCommand(parser, options, Kind::apply);
    if (command == u"toggle")
        return profileCommand(parser, options, Kind::toggle);
    if (command == u"set-aside")
        return setAsideCommand(parser);
    if (command == u"rules")
        return rulesCommand(parser, options);
    refuseExtra(parser.positionalArguments(), 1);
    Command result;
    result.kind = command == u"list"       ? Kind::list
                  : command == u"status"   ? Kind::status
                  : command == u"check"    ? Kind::check
                  : command == u"diagnose" ? Kind::diagnose
                                           : Kind::restore;
    result.json = takesJson && parser.isSet(options.json);
    return result;
}

} // namespace norvane
