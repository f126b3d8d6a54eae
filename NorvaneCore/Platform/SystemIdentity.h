#pragma once

#include <QString>
#include <QStringList>

namespace norvane {

// Which system Pellor changes in this process, and how its texts speak of it: a Mac (the real
// one, or the simulated Mac that stands in for it elsewhere) or a Linux desktop.
struct SystemIdentity {
    QString id;        // "mac", "simulated", "gnome", …: stored with what belongs to one system
    QString name;      // "macOS", "GNOME", …: used inside texts, never translated
    bool isMac = true; // the Mac's words: System Settings, administrator authorization
    // False where the screen saver has no timer of its own and starts when the display turns
    // off (GNOME): Pellor then neither writes nor reports one.
    bool ownScreenSaverTimer = true;
    // Where the report says each live value comes from.
    QString timersSource = QStringLiteral("pmset -g live");
    QString powerSource = QStringLiteral("pmset -g batt");
    QString screenSaverSource = QStringLiteral("com.apple.screensaver idleTime");
    QString holdersSource = QStringLiteral("pmset -g assertions");
    // The program and its arguments that open a desktop's power settings (a Mac opens System
    // Settings, the simulated Mac its folder).
    QStringList powerSettingsCommand;
    // One line when the choice of system needs telling (the simulated Mac standing in because no
    // supported desktop was found); empty otherwise.
    QString note;

    // The real Mac, and the simulated one.
    static SystemIdentity mac();
    static SystemIdentity simulated();
};

// The system of this process: chosen once at start, before any other thread runs; until then the
// Mac on macOS and the simulated Mac elsewhere.
[[nodiscard]] SystemIdentity currentSystem();
void setCurrentSystem(const SystemIdentity &identity);

// A text that names the system: `macKey` on a Mac, else `desktopKey`, which receives the desktop's
// name as the placeholder after `arguments` ("Saved and verified {1} settings for {0}.").
[[nodiscard]] QString systemText(const QString &macKey, const QString &desktopKey,
                                 QStringList arguments = {});

} // namespace norvane
