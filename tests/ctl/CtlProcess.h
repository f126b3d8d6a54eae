#pragma once

#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace norvane::test {

// pellorctl's environment for one test: private settings, data and runtime folders (so it never
// meets a Pellor the user runs) and a simulated Mac of its own, in English unless told otherwise.
class CtlSandbox {
public:
    using Run = Outcome;

    CtlSandbox() {
        for (const QString name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                   "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "NORVANE_SIM_HOME"}) {
            QDir().mkpath(m_root.filePath(name));
            QFile::setPermissions(m_root.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            environment.insert(name, m_root.filePath(name));
        }
        setLanguage("en", "en_US.UTF-8");
        environment.insert("PELLOR_PLATFORM", "simulated");
    }

    void setLanguage(const QString &language, const QString &locale) {
        environment.insert("LANGUAGE", language);
        environment.insert("LC_ALL", locale);
        environment.insert("LANG", locale);
    }
    [[nodiscard]] QString simHome() const { return environment.value("NORVANE_SIM_HOME"); }
    // A file of Pellor's data folder: profiles.json, rules.json, original-settings.json, …
    [[nodiscard]] QString dataFile(const QString &name) const {
        return environment.value("XDG_DATA_HOME") + "/Norvane/" + name;
    }
    [[nodiscard]] QString profilesFile() const { return dataFile("profiles.json"); }

    // Runs pellorctl (or `program`) here to its end.
    [[nodiscard]] Run run(const QStringList &arguments,
                          const QString &program = NORVANE_BIN_DIR "/pellorctl") const {
        return test::run(program, arguments, environment);
    }

    // Starts one pellorctl per list of arguments at once and returns what each did, in order.
    [[nodiscard]] QList<Run> runAtOnce(const QList<QStringList> &runs) const {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const QStringList &arguments : runs) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->setProcessEnvironment(environment);
            processes.back()->start(NORVANE_BIN_DIR "/pellorctl", arguments);
        }
        QList<Run> outcomes;
        for (const auto &process : processes) {
            EXPECT_TRUE(process->waitForFinished(60'000));
            outcomes << Run{process->exitCode(),
                            QString::fromUtf8(process->readAllStandardOutput()),
                            QString::fromUtf8(process->readAllStandardError())};
        }
        return outcomes;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

private:
    QTemporaryDir m_root;
};

} // namespace norvane::test
