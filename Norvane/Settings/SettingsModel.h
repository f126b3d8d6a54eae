#pragma once

#include "Components/SystemReader.h"
#include "Status/SystemSettings.h"

#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <QUrl>
#include <functional>
#include <optional>

namespace norvane {

class SessionStore;

// The settings window's state: the latest live snapshot of the Mac and whether an apply or
// restore is running. A read starts when forced, right after an apply or restore has ended, or
// when the last one completed 5 or more seconds ago; never two at a time. Every text the window
// shows is decided here. Lives on the main thread.
class SettingsModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The settings window creates its model")
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool hasSnapshot READ hasSnapshot NOTIFY snapshotChanged)
    Q_PROPERTY(QString sourceText READ sourceText NOTIFY snapshotChanged)
    Q_PROPERTY(QString displayText READ displayText NOTIFY snapshotChanged)
    Q_PROPERTY(QString sleepText READ sleepText NOTIFY snapshotChanged)
    Q_PROPERTY(QString screenSaverText READ screenSaverText NOTIFY snapshotChanged)
    Q_PROPERTY(QString assertionText READ assertionText NOTIFY snapshotChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY snapshotChanged)
    Q_PROPERTY(QString openFailure READ openFailure NOTIFY openFailureChanged)
    Q_PROPERTY(QString restoreNotice READ restoreNotice NOTIFY restoreNoticeChanged)

public:
    using Clock = std::function<QDateTime()>;
    // Hands a URL to the desktop; false when nothing could open it.
    using UrlOpener = std::function<bool(const QUrl &)>;
    // Starts a program (its path or name first, then its arguments) and leaves it running; false
    // when it could not be started.
    using ProgramStarter = std::function<bool(const QStringList &)>;

    // What the model takes from its surroundings; the defaults use the system.
    struct Environment {
        Clock clock;                 // the current time
        SystemReader readSystem;     // one live read, off the main thread
        UrlOpener openUrl;           // hands a URL to the desktop
        ProgramStarter startProgram; // opens a desktop's power settings
    };

    static constexpr qint64 readInterval = 5000; // milliseconds from one read's end to the next

    explicit SettingsModel(SessionStore &store, Environment environment = {},
                           QObject *parent = nullptr);

    [[nodiscard]] SessionStore &store() const { return m_store; }
    [[nodiscard]] const std::optional<SystemSettings> &snapshot() const { return m_snapshot; }
    [[nodiscard]] bool busy() const { return m_busy; }
    [[nodiscard]] bool reading() const { return m_reading; }
    [[nodiscard]] const std::optional<QDateTime> &lastRead() const { return m_lastRead; }
    [[nodiscard]] bool hasSnapshot() const { return m_snapshot.has_value(); }

    [[nodiscard]] QString sourceText() const;
    [[nodiscard]] QString displayText() const;
    [[nodiscard]] QString sleepText() const;
    [[nodiscard]] QString screenSaverText() const;
    [[nodiscard]] QString assertionText() const;
    [[nodiscard]] QString statusLine() const;
    // Empty, or what the window says when "System Settings ↗" could not be opened (off a Mac:
    // where the simulated Mac's folder is, to open it by hand).
    [[nodiscard]] QString openFailure() const { return m_openFailure; }
    // How the last "Restore Original Settings…" of this window ended (the session store's
    // notice); empty before the first and while one runs.
    [[nodiscard]] QString restoreNotice() const { return m_restoreNotice; }

    // The screen-saver row's value for a snapshot's delay in seconds.
    [[nodiscard]] static QString screenSaverText(std::optional<qint64> seconds);
    // The wake-requests box's text; "Reading…" without a snapshot.
    [[nodiscard]] static QString assertionText(const std::optional<SystemSettings> &snapshot);
    // "Reading…", the snapshot's error, or "Last updated" with the time of the read.
    [[nodiscard]] static QString statusLine(const std::optional<SystemSettings> &snapshot);
    // What "System Settings ↗" opens: the System Settings application on a Mac, the simulated
    // Mac's folder elsewhere.
    [[nodiscard]] static QUrl systemSettingsUrl();

    // Refreshes `busy` and starts a read when one is due (see the class comment).
    Q_INVOKABLE void update(bool force);
    // The system told of a change: the next update reads again, even when a read was running.
    void markStale();
    // Writes back the original settings through the session store, then reads again and tells
    // how it ended.
    Q_INVOKABLE void restoreOriginal();
    Q_INVOKABLE void openSystemSettings();

signals:
    void busyChanged();
    void snapshotChanged();
    void openFailureChanged();
    void restoreNoticeChanged();

private:
    void startRead();
    void setRestoreNotice(const QString &notice);

    SessionStore &m_store;
    Environment m_environment;
    std::optional<SystemSettings> m_snapshot;
    bool m_busy = false;
    bool m_reading = false;
    std::optional<QDateTime> m_lastRead; // none: the distant past
    bool m_staleWhileReading = false;    // the running read may miss a change
    QString m_openFailure;
    QString m_restoreNotice;
};

} // namespace norvane
