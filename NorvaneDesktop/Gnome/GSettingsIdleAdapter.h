#pragma once

#include "GSettingsKeys.h"
#include "Services/DesktopSettingsAdapter.h"

namespace norvane {

// The idle settings of a desktop whose power manager keeps, per power source, its own display-off
// and sleep timeouts in GSettings, and whose screen saver starts after the session's idle delay
// (Cinnamon, MATE). Display and sleep timeouts are seconds, 0 never; the computer also never
// sleeps while the kind of sleep is "nothing". Never is written as the desktop's own power panel
// writes it: the timeout 0, the kind of sleep left alone; a time after a kind "nothing" brings back
// the user's own kind (the backup's, else the desktop's default, else suspend). The screen saver
// never starts while its activation is off or its delay is 0; which of the two Never writes is the
// desktop's own choice, and a time turns the activation back on. Display Never keeps the screen
// lit, so the power manager's dimming is turned off for that source too, and a time after Never
// gives it back as the user had it (the backup's, else the desktop's default).
class GSettingsIdleAdapter : public DesktopSettingsAdapter {
public:
    struct Layout {
        QString powerSchema;
        // Per source, with "%1" the source's part of the name ("ac", "battery").
        QString displayKey;
        QString sleepKey;
        QString sleepTypeKey;
        QString dimKey; // whether the display dims when idle, before it turns off
        QString sessionSchema;
        QString idleDelayKey;     // the screen saver's delay
        qint64 idleDelayUnit = 1; // seconds in one unit of the delay
        QString saverSchema;
        QString saverEnabledKey;  // whether the screen saver starts when idle
        bool neverByDelay = true; // Never is the delay 0, else the activation off
    };

    explicit GSettingsIdleAdapter(Layout layout);

    // Every key of `layout` is installed.
    [[nodiscard]] static bool installed(const Layout &layout);

    [[nodiscard]] DesktopSession session() const override { return DesktopSession::gnome; }
    [[nodiscard]] WatchedSettings watched() const override;
    [[nodiscard]] MacConfiguration read() const override;
    [[nodiscard]] MacConfiguration restoring(const MacConfiguration &backup) const override;
    void write(const MacConfiguration &target, const QJsonObject &original) const override;
    // Every key at the desktop's default.
    [[nodiscard]] MacConfiguration defaults() const override;

private:
    [[nodiscard]] static QList<GSettingsKeys::Schema> schemas(const Layout &layout);
    [[nodiscard]] static QString key(const QString &pattern, const QString &flag);
    [[nodiscard]] MacConfiguration configurationOf(const QJsonObject &inEffect,
                                                   const QJsonObject &native) const;
    [[nodiscard]] qint64 screenSaverSeconds(const QJsonObject &inEffect) const;
    [[nodiscard]] QJsonObject valuesFor(const MacConfiguration &target, const QJsonObject &original,
                                        const GSettingsKeys &keys) const;

    Layout m_layout;
};

} // namespace norvane
