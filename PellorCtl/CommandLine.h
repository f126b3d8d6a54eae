#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

// What the user asked pellorctl to do, read from its arguments with QCommandLineParser in two
// passes: the first finds the command, the second knows that command's options.
struct Command {
    enum class Kind { help, version, list, status, apply, restore, diagnose, setAside };
    // set-aside: which damaged file to move out of the way.
    enum class StoredFile { backup, profiles };

    Kind kind = Kind::help;
    bool json = false;             // list, status, diagnose
    QString profile;               // apply: an identifier or a title, as typed
    std::optional<qint64> minutes; // apply: --for MINUTES, 0 with --no-return, none otherwise
    QString helpText;              // help: the text to print
    StoredFile storedFile = StoredFile::backup;

    // Parses the arguments (the program name first). Throws UsageError on bad input.
    [[nodiscard]] static Command parse(const QStringList &given);

    // The minutes --for accepts.
    static constexpr qint64 minMinutes = 1;
    static constexpr qint64 maxMinutes = 1440;
};

// Bad command-line input: the message says what is wrong and how to get help.
struct UsageError {
    QString message;
};

} // namespace norvane
