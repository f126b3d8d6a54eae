#pragma once

#include <QString>

namespace norvane {

// Bad command-line input: the message says what is wrong and how to get help.
struct UsageError {
    QString message;

    // Throws the error for `problem`, followed by the way to the help.
    [[noreturn]] static void raise(const QString &problem);
};

} // namespace norvane
