#pragma once

#include "SimulatorState.h"
#include "TestSupport.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>
#include <functional>
#include <gtest/gtest.h>

namespace norvane::test {

// A fresh, empty simulator folder for one test, which NORVANE_SIM_HOME points at while the object
// lives. Create it before anything calls Platform::system().
class SimulatedMacHome {
public:
    [[nodiscard]] QString path() const { return m_folder.path(); }

    [[nodiscard]] sim::SimulatorState state() const { return sim::SimulatorState::load(path()); }
    void change(const std::function<void(sim::SimulatorState &)> &edit) const {
        auto current = state();
        edit(current);
        current.save(path());
    }
    // The screen saver's idle time in the simulated preferences; none removes it.
    void storeScreenSaver(const std::optional<QVariant> &value) const {
        SimulatedHostPreferences preferences(path());
        preferences.setValue(QStringLiteral("idleTime"), value, kScreenSaverDomain);
        ASSERT_TRUE(preferences.synchronize(kScreenSaverDomain));
    }
    [[nodiscard]] std::optional<QVariant> storedScreenSaver() const {
        return SimulatedHostPreferences(path()).copyValue(QStringLiteral("idleTime"),
                                                          kScreenSaverDomain);
    }

private:
    inline static const QString kScreenSaverDomain = QStringLiteral("com.apple.screensaver");
    QTemporaryDir m_folder;
    ScopedVariable m_variable{"NORVANE_SIM_HOME", m_folder.path().toUtf8()};
};

// A real capture of a Mac's output: tests/data/mac-samples/NAME.txt.
inline QString capture(const QString &name) {
    return readTextFile(QStringLiteral(NORVANE_TEST_DATA_DIR "/mac-samples/%1.txt").arg(name));
}

// The holders in the real capture tests/data/mac-samples/assertions-caffeinate-2025.txt.
inline QList<sim::AssertionHolder> caffeinateCaptureHolders() {
    return {{98217,
             "caffeinate",
             "PreventUserIdleSystemSleep",
             "caffeinate command-line tool",
             3,
             {"Details: caffeinate asserting for 1600 secs",
              "Localized=THE CAFFEINATE TOOL IS PREVENTING SLEEP.",
              "Timeout will fire in 1597 secs Action=TimeoutActionRelease"}},
            {145,
             "WindowServer",
             "UserIsActive",
             "com.apple.iohideventsystem.queue.tickle serviceID:10009be9e "
             "service:AppleUserHIDEventService product:CTRL Keyboard eventType:3",
             0,
             {"Timeout will fire in 600 secs Action=TimeoutActionRelease"}},
            {80,
             "powerd",
             "PreventUserIdleSystemSleep",
             "Powerd - Prevent sleep while display is on",
             22 * 60 + 34,
             {}}};
}

} // namespace norvane::test
