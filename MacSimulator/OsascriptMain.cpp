// The simulated Mac's osascript: understands one AppleScript statement, a shell script run with
// administrator privileges, asks the simulated user for authorization and runs the script.
#include "Platform/ConfigurationError.h"
#include "Platform/ToolRunner.h"
#include "SimulatorState.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>

using namespace norvane;
using namespace norvane::sim;

namespace {

void print(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// The shell command of `do shell script "<escaped>" with administrator privileges`, or none when
// the source has any other shape.
std::optional<QString> shellCommand(const QString &source) {
    static const QString opening = QStringLiteral("do shell script \"");
    static const QString closing = QStringLiteral("\" with administrator privileges");
    if (!source.startsWith(opening))
        return std::nullopt;
    QString command;
    for (qsizetype i = opening.size(); i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'"')
            return source.mid(i) == closing ? std::optional(command) : std::nullopt;
        if (c == u'\\') {
            const QChar escaped = ++i < source.size() ? source[i] : QChar();
            if (escaped != u'\\' && escaped != u'"')
                return std::nullopt;
            command += escaped;
        } else {
            command += c;
        }
    }
    return std::nullopt; // the string literal never ends
}

// The Mac's pmset path, as the command names it, replaced by the stand-in's (quoted for the shell).
QString mappedToStandIns(QString command) {
    QString pmset = ToolPaths::system().pmset;
    pmset.replace(u'\'', QStringLiteral("'\\''"));
    return command.replace(ToolPaths::macPmsetPath(), u'\'' + pmset + u'\'');
}

class Osascript {
public:
    explicit Osascript(QString source) : m_source(std::move(source)) {}

    [[nodiscard]] int run(const SimulatorState &state, const QString &command) const {
        switch (state.authorization) {
        case Authorization::cancel:
            return executionError(QStringLiteral("User canceled."), -128);
        case Authorization::fail:
            return executionError(state.authorizationFailureMessage, 1);
        case Authorization::allow:
            break;
        }
        return runAuthorized(command);
    }

    [[nodiscard]] int syntaxError() const {
        return report(
            QStringLiteral("syntax error: This osascript understands only "
                           "do shell script \"…\" with administrator privileges. (-2741)"));
    }

    [[nodiscard]] int executionError(const QString &message, int number) const {
        return report(
            QStringLiteral("execution error: %1 (%2)").arg(message, QString::number(number)));
    }

private:
    // osascript names the range of the failing statement: here always the whole source.
    [[nodiscard]] int report(const QString &error) const {
        print(stderr, QStringLiteral("0:%1: %2\n").arg(m_source.size()).arg(error));
        return 1;
    }

    [[nodiscard]] int runAuthorized(const QString &command) const {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(authorizedVariable), QStringLiteral("1"));
        shell.setProcessEnvironment(environment);
        shell.setStandardInputFile(QProcess::nullDevice());
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), mappedToStandIns(command)});
        if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit)
            return executionError(shell.errorString(), -1);
        if (shell.exitCode() != 0) {
            // The Mac's osascript separates the command's lines with carriage returns, so the
            // error number still ends the one line it prints.
            QString reason = QString::fromUtf8(shell.readAllStandardError());
            while (reason.endsWith(u'\n'))
                reason.chop(1);
            reason.replace(u'\n', u'\r');
            return executionError(reason.isEmpty()
                                      ? QStringLiteral("The command exited with a non-zero status.")
                                      : reason,
                                  shell.exitCode());
        }
        const QString output = QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
        if (!output.isEmpty())
            print(stdout, output + u'\n');
        return 0;
    }

    QString m_source;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString home = simulatorHome();
    try {
        recordInvocation(home, {QStringLiteral("osascript"), arguments, runsAuthorized()});
        if (arguments.size() != 2 || arguments[0] != QLatin1String("-e")) {
            print(stderr, QStringLiteral("usage: osascript -e statement\n"));
            return 1;
        }
        const Osascript osascript(arguments[1]);
        const auto command = shellCommand(arguments[1]);
        if (!command)
            return osascript.syntaxError();
        try {
            return osascript.run(SimulatorState::load(home), *command);
        } catch (const std::exception &error) {
            return osascript.executionError(localizedDescription(error), -2700);
        }
    } catch (const std::exception &error) {
        print(stderr, QStringLiteral("osascript: %1\n").arg(localizedDescription(error)));
        return 1;
    }
}
