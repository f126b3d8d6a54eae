#include "ToolRunner.h"

#include "Installation.h"
#include "Platform/ConfigurationError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace norvane {

ToolPaths ToolPaths::system() {
#ifdef Q_OS_MACOS
    return {macPmsetPath(), QStringLiteral("/usr/bin/osascript")};
#else
    const QDir binaries(
        QCoreApplication::instance()
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2));
    // Beside the executable in the build tree (and for the stand-ins themselves); an installed
    // executable finds them in <prefix>/libexec/pellor.
    const QDir installed(
        QDir::cleanPath(binaries.filePath(QString::fromUtf8(Installation::toolsFromExecutables))));
    const QDir &tools =
        !binaries.exists(QStringLiteral("pmset")) && installed.exists(QStringLiteral("pmset"))
            ? installed
            : binaries;
    return {tools.filePath(QStringLiteral("pmset")), tools.filePath(QStringLiteral("osascript"))};
#endif
}

ToolResult ProcessToolRunner::run(const QString &program, const QStringList &arguments,
                                  StandardError standardError) const {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (standardError == StandardError::Discard)
        process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        throw PlatformError(
            QStringLiteral("Could not launch %1: %2").arg(program, process.errorString()));

    // QProcess keeps reading the pipes into its own buffers while it waits, so a large output
    // cannot fill a pipe and stall the tool.
    process.waitForFinished(-1);
    ToolResult result;
    result.standardOutput = process.readAllStandardOutput();
    if (standardError == StandardError::Capture)
        result.standardError = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit)
        throw PlatformError(
            QStringLiteral("%1 ended abnormally: %2").arg(program, process.errorString()));
    result.exitStatus = process.exitCode();
    return result;
}

} // namespace norvane
