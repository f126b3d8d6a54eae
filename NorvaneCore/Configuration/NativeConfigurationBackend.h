#pragma once

#include "ConfigurationBackend.h"
#include "OriginalSettingsBackup.h"
#include "Platform/Platform.h"
#include "Platform/SystemIdentity.h"

namespace norvane {

// Reads power settings with `pmset -g custom`, writes them with one privileged pmset command
// through an AppleScript administrator request, keeps the screen-saver idle time in the current
// host's preferences, and keeps the original-settings backup file. Holds no state between calls.
class NativeConfigurationBackend final : public ConfigurationBackend {
public:
    // The system's platform and backup, for the current system.
    NativeConfigurationBackend();
    // `world`: the id of the Mac the backup belongs to (the real or the simulated one).
    NativeConfigurationBackend(Platform platform, QString backupPath,
                               const QString &world = currentSystem().id);

    const QString domain = QStringLiteral("com.apple.screensaver");
    const QString key = QStringLiteral("idleTime");

    [[nodiscard]] MacConfiguration read() override;
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override;
    [[nodiscard]] MacConfiguration loadOriginal() override;
    void write(const MacConfiguration &target) override;
    // A Mac's factory settings, and no screen-saver time of the user's own.
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override;

    // The AppleScript source that runs `command` with administrator privileges, quoted for an
    // AppleScript string literal.
    static QString authorizationScript(const QString &command);

private:
    void writePowerSettings(const MacConfiguration &target);
    void writeScreenSaver(const std::optional<qint64> &current,
                          const std::optional<qint64> &target);

    Platform m_platform;
    OriginalSettingsBackup m_backup;
};

// The outcome of a failed AppleScript run, as read from osascript's error output.
struct AppleScriptError {
    std::optional<int> number;      // the "(N)" at the end of the message
    std::optional<QString> message; // the text before it, without osascript's prefixes

    static AppleScriptError parse(const QString &errorOutput);
};

} // namespace norvane
