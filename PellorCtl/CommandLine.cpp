#include "CommandLine.h"

#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

const QStringList &commandNames() {
    static const QStringList names{u"list"_s,    u"status"_s,   u"apply"_s,
                                   u"restore"_s, u"diagnose"_s, u"set-aside"_s};
    return names;
}

[[noreturn]] void usage(const QString &message) {
    throw UsageError{message + u'\n' +
                     L10n::text("Run \"pellorctl --help\" for the commands and options.")};
}

QString exitCodeSection() {
    const QList<std::pair<int, QString>> codes{
        {0, L10n::text("success")},
        {1, L10n::text("the change failed; the message is on standard error")},
        {2, L10n::text("usage error")},
        {3, L10n::text("administrator authorization was cancelled")},
        {4, L10n::text("no such profile")},
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

QString setAsideDescription() {
    return L10n::text(
        "Move a damaged original-settings backup or profiles file aside, keeping it, so Pellor can start a new one.");
}

QString overview() {
    const QList<std::pair<QString, QString>> commands{
        {u"list [--json]"_s,
         L10n::text("List the profiles; the active one is marked while Pellor is open.")},
        {u"status [--json]"_s,
         L10n::text("Show the live settings, the power source and the applied profile.")},
        {u"apply PROFILE [--for MINUTES | --no-return]"_s,
         L10n::text("Apply a profile, found by its identifier or title.")},
        {u"restore"_s, L10n::text("Restore the original settings saved before the first change.")},
        {u"diagnose [--json]"_s, diagnoseDescription()},
        {u"set-aside backup|profiles"_s, setAsideDescription()},
    };
    QString text =
        systemText(
            "Switch your Mac between Pellor profiles from the command line or a script.",
            "Switch this computer between Pellor profiles from the command line or a script.") +
        u"\n\n"_s + L10n::text("Commands:");
    for (const auto &[synopsis, meaning] : commands)
        text += u"\n  "_s + synopsis.leftJustified(46) + u' ' + meaning;
    return text + u"\n\n"_s + exitCodeSection();
}

QString commandDescription(const QString &command) {
    if (command == u"list")
        return L10n::text("List the profiles; the active one is marked while Pellor is open.");
    if (command == u"status")
        return L10n::text("Show the live settings, the power source and the applied profile.");
    if (command == u"restore")
        return L10n::text("Restore the original settings saved before the first change.");
    if (command == u"diagnose")
        return diagnoseDescription();
    if (command == u"set-aside")
        return setAsideDescription();
    return L10n::text("Apply a profile, found by its identifier or title.") + u"\n\n"_s +
           L10n::text(
               "While Pellor is open, it applies the profile and keeps its timer. Otherwise a timed profile keeps pellorctl running with a countdown and returns to Normal when the time is up, or on Ctrl+C.");
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

} // namespace

Command Command::parse(const QStringList &given) {
    // The usage line names the program as people type it, not by the path it was started from.
    QStringList arguments = given;
    if (arguments.isEmpty())
        arguments << u"pellorctl"_s;
    arguments.first() = u"pellorctl"_s;
    const QCommandLineOption help({u"h"_s, u"help"_s}, L10n::text("Show this help."));
    const QCommandLineOption version(u"version"_s, L10n::text("Show the version."));
    const QCommandLineOption json(
        u"json"_s, L10n::text("Print JSON only, in a stable shape with a version field."));
    const QCommandLineOption forMinutes(
        u"for"_s, L10n::text("Return to Normal after MINUTES minutes (1 to 1440)."), u"MINUTES"_s);
    const QCommandLineOption noReturn(
        u"no-return"_s, L10n::text("Leave the profile applied, without an automatic return."));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    parser.addOption(version);
    // First pass: only the command matters; its options are not known yet.
    (void)parser.parse(arguments);
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (!parser.unknownOptionNames().isEmpty())
            unknownOption(parser);
        if (parser.isSet(version))
            return {Kind::version, false, {}, {}, {}};
        parser.setApplicationDescription(overview());
        parser.addPositionalArgument(
            u"command"_s, L10n::text("list, status, apply, restore, diagnose or set-aside"),
            u"COMMAND"_s);
        if (parser.isSet(help))
            return {Kind::help, false, {}, {}, helpOf(parser)};
        usage(L10n::text("No command given."));
    }

    const QString &command = positional.first();
    if (!commandNames().contains(command))
        usage(L10n::text({"Unknown command: {0}", {command}}));
    parser.setApplicationDescription(commandDescription(command));
    parser.addPositionalArgument(command, L10n::text("the command"), command);
    const bool takesJson = command == u"list" || command == u"status" || command == u"diagnose";
    if (takesJson)
        parser.addOption(json);
    if (command == u"apply") {
        parser.addPositionalArgument(
            u"PROFILE"_s,
            L10n::text(
                "A profile identifier or title, in any letter case, in English or in your language."));
        parser.addOption(forMinutes);
        parser.addOption(noReturn);
    }
    if (command == u"set-aside")
        parser.addPositionalArgument(u"FILE"_s, L10n::text("backup or profiles"),
                                     u"backup|profiles"_s);

    // Second pass, with the command's options.
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            unknownOption(parser);
        usage(parser.errorText());
    }
    if (parser.isSet(help))
        return {Kind::help, false, {}, {}, helpOf(parser)};
    if (parser.isSet(version))
        return {Kind::version, false, {}, {}, {}};

    const QStringList values = parser.positionalArguments();
    Command result;
    if (command == u"apply") {
        if (values.size() < 2 || values[1].trimmed().isEmpty())
            usage(L10n::text("Name the profile to apply."));
        if (values.size() > 2)
            usage(L10n::text({"Unexpected argument: {0}", {values[2]}}));
        if (parser.isSet(forMinutes) && parser.isSet(noReturn))
            usage(L10n::text("Use either --for or --no-return, not both."));
        if (parser.values(forMinutes).size() > 1)
            usage(L10n::text("Give --for only once."));
        result.kind = Kind::apply;
        result.profile = values[1];
        if (parser.isSet(forMinutes))
            result.minutes = minutesFrom(parser.value(forMinutes));
        else if (parser.isSet(noReturn))
            result.minutes = 0;
        return result;
    }
    if (command == u"set-aside") {
        if (values.size() < 2 || (values[1] != u"backup" && values[1] != u"profiles"))
            usage(L10n::text("Name the file to set aside: backup or profiles."));
        if (values.size() > 2)
            usage(L10n::text({"Unexpected argument: {0}", {values[2]}}));
        result.kind = Kind::setAside;
        result.storedFile = values[1] == u"backup" ? StoredFile::backup : StoredFile::profiles;
        return result;
    }
    if (values.size() > 1)
        usage(L10n::text({"Unexpected argument: {0}", {values[1]}}));
    result.kind = command == u"list"       ? Kind::list
                  : command == u"status"   ? Kind::status
                  : command == u"diagnose" ? Kind::diagnose
                                           : Kind::restore;
    result.json = takesJson && parser.isSet(json);
    return result;
}

} // namespace norvane
