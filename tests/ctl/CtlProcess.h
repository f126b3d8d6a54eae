#pragma once

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace norvane::test {

// pellorctl's environment for one test: private settings, data and runtime folders (so it never
// meets a Pellor the user runs) and a simulated Mac of its own, in English unless told otherwise.
class CtlSandbox {
public:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    CtlSandbox() {
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "NORVANE_SIM_HOME"}) {
            const QString folder = m_root.filePath(QString::fromLatin1(name));
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            m_environment.insert(QString::fromLatin1(name), folder);
        }
        setLanguage(QStringLiteral("en"), QStringLiteral("en_US.UTF-8"));
    }

    void setLanguage(const QString &language, const QString &locale) {
        m_environment.insert(QStringLiteral("LANGUAGE"), language);
        m_environment.insert(QStringLiteral("LC_ALL"), locale);
        m_environment.insert(QStringLiteral("LANG"), locale);
    }

    [[nodiscard]] QString folder(const char *variable) const {
        return m_environment.value(QString::fromLatin1(variable));
    }
    [[nodiscard]] QString simHome() const { return folder("NORVANE_SIM_HOME"); }
    [[nodiscard]] QString profilesFile() const {
        return folder("XDG_DATA_HOME") + QStringLiteral("/Norvane/profiles.json");
    }
    [[nodiscard]] const QProcessEnvironment &environment() const { return m_environment; }

    // Prepares `process` to run pellorctl (or `program`) here; the caller starts it.
    void prepare(QProcess &process, const QStringList &arguments,
                 const QString &program = QStringLiteral(NORVANE_BIN_DIR "/pellorctl")) const {
        process.setProgram(program);
        process.setArguments(arguments);
        process.setProcessEnvironment(m_environment);
    }

    // Runs pellorctl to its end.
    [[nodiscard]] Run run(const QStringList &arguments,
                          const QString &program = QStringLiteral(NORVANE_BIN_DIR
                                                                  "/pellorctl")) const {
        QProcess process;
        prepare(process, arguments, program);
        process.start();
        if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}, QStringLiteral("pellorctl did not end normally")};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private:
    QTemporaryDir m_root;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

} // namespace norvane::test
