#pragma once

#include "Rules/Rule.h"
#include "UsageError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

// What the user asked pellorctl to do, read from its arguments with QCommandLineParser in two
// passes: the first finds the command, the second knows that command's options.
struct Command {
    enum class Kind {
        help,
        version,
        list,
        status,
        check,
        apply,
        toggle,
        restore,
        diagnose,
        setAside,
        rules
    };
    // set-aside: which damaged file to move out of the way.
    enum class StoredFile { backup, profiles, rules };
    // rules: what to do with them; list without an action.
    enum class RulesAction { list, add, remove, move, enable, disable, pause, resume };

    Kind kind = Kind::help;
    bool json = false;             // list, status, check, diagnose, rules
    QString profile;               // apply, toggle, rules add (--use): an identifier or a title
    std::optional<qint64> minutes; // apply, toggle: --for MINUTES, 0 with --no-return
    QString helpText;              // help: the text to print
    StoredFile storedFile = StoredFile::backup;
    RulesAction rulesAction = RulesAction::list;
    QList<qint64> ruleNumbers; // remove, enable, disable: the rule; move: from, to. From 1.
    Condition condition;       // rules add: --when

    // Parses the arguments (the program name first). Throws UsageError on bad input.
    [[nodiscard]] static Command parse(const QStringList &given);

    // The minutes --for accepts.
    static constexpr qint64 minMinutes = 1;
    static constexpr qint64 maxMinutes = 1440;
};

} // namespace norvane
