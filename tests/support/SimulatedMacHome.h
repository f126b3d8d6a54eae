#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

namespace norvane::test {

// A fresh, empty simulator folder for one test: NORVANE_SIM_HOME points at it while the object
// lives (child processes inherit it), and the previous value comes back afterwards. Create it
// before anything calls Platform::system().
class SimulatedMacHome {
public:
    SimulatedMacHome()
        : m_previous(qgetenv("NORVANE_SIM_HOME")),
          m_hadPrevious(qEnvironmentVariableIsSet("NORVANE_SIM_HOME")) {
        qputenv("NORVANE_SIM_HOME", m_folder.path().toUtf8());
    }
    ~SimulatedMacHome() {
        if (m_hadPrevious)
            qputenv("NORVANE_SIM_HOME", m_previous);
        else
            qunsetenv("NORVANE_SIM_HOME");
    }
    SimulatedMacHome(const SimulatedMacHome &) = delete;
    SimulatedMacHome &operator=(const SimulatedMacHome &) = delete;

    [[nodiscard]] QString path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    QByteArray m_previous;
    bool m_hadPrevious;
};

} // namespace norvane::test
