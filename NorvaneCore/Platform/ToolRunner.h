#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace norvane {

// Where the system's command-line tools live: /usr/bin on a Mac, the simulated Mac's stand-ins
// elsewhere (beside the application's binaries in the build tree, <prefix>/libexec/pellor when
// installed).
struct ToolPaths {
    QString pmset;
    QString osascript;

    static ToolPaths system();
    // The literal path the privileged command names; the authorization runs it as written.
    static QString macPmsetPath() { return QStringLiteral("/usr/bin/pmset"); }
};

struct ToolResult {
    int exitStatus = 0;
    QByteArray standardOutput;
    QByteArray standardError; // empty unless the caller asked for it
};

// Runs a tool to completion: standard output piped and drained before waiting, standard error
// to the null device unless captured, environment and standard input inherited.
class ToolRunner {
public:
    enum class StandardError { Discard, Capture };

    virtual ~ToolRunner() = default;
    // Throws PlatformError when the tool cannot be started or does not exit normally.
    [[nodiscard]] virtual ToolResult
    run(const QString &program, const QStringList &arguments,
        StandardError standardError = StandardError::Discard) const = 0;
};

class ProcessToolRunner final : public ToolRunner {
public:
    [[nodiscard]] ToolResult run(const QString &program, const QStringList &arguments,
                                 StandardError standardError) const override;
};

} // namespace norvane
