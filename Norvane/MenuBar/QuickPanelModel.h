#pragma once

#include "Components/Announcement.h"
#include "Components/ProfileRowsModel.h"
#include "Managed/Policy.h"
#include "Profiles/Profile.h"
#include "Rules/SwitchingReason.h"
#include "Status/PowerStatus.h"

#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;
class SessionStore;

// The quick panel's state: the power source, the applied profile and the profile rows, in library
// order. It reads the session store and the library again whenever `revision` goes up, and the
// power source at most every 5 seconds unless forced. The panel's actions go out through the on…
// callbacks. Lives on the main thread.
class QuickPanelModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The menu bar controller creates the quick panel model")
    Q_PROPERTY(int revision READ revision NOTIFY revisionChanged)
    Q_PROPERTY(QString powerSymbol READ powerSymbol NOTIFY powerChanged)
    Q_PROPERTY(QString powerTitle READ powerTitle NOTIFY powerChanged)
    Q_PROPERTY(QString powerDetail READ powerDetail NOTIFY powerChanged)
    Q_PROPERTY(bool powerLow READ powerLow NOTIFY powerChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusChanged)
    Q_PROPERTY(bool applying READ applying NOTIFY statusChanged)
    Q_PROPERTY(bool drifted READ drifted NOTIFY statusChanged)
    Q_PROPERTY(bool sleepDisabled READ sleepDisabled NOTIFY statusChanged)
    Q_PROPERTY(bool returnFailed READ returnFailed NOTIFY statusChanged)
    Q_PROPERTY(QString returnFailure READ returnFailure NOTIFY statusChanged)
    Q_PROPERTY(QString noticeText READ noticeText NOTIFY statusChanged)
    Q_PROPERTY(QString focusedID READ focusedID WRITE setFocusedID NOTIFY focusedIDChanged)
    Q_PROPERTY(int focusedRow READ focusedRow NOTIFY focusedIDChanged)
    Q_PROPERTY(norvane::ProfileRowsModel *profileList READ profileList CONSTANT)
    Q_PROPERTY(norvane::Announcement *announcement READ announcement CONSTANT)
    Q_PROPERTY(norvane::SwitchingReason *reason READ reason NOTIFY reasonChanged)

public:
    using Clock = std::function<QDateTime()>;
    using PowerReader = std::function<PowerStatus()>;

    // What the model takes from its surroundings; the defaults read the system.
    struct Environment {
        Clock clock;           // the current time
        PowerReader readPower; // one power-source reading, run off the main thread
        // The administrator's policy in force; none: the default one, which allows everything.
        std::function<Policy()> policy;
    };

    enum Direction { Up, Down, Left, Right };
    Q_ENUM(Direction)

    static constexpr qint64 powerReadInterval = 5000; // milliseconds between power readings

    QuickPanelModel(SessionStore &store, ProfileLibrary &library, Environment environment = {},
                    QObject *parent = nullptr);

    [[nodiscard]] int revision() const { return m_revision; }
    [[nodiscard]] const PowerStatus &power() const { return m_power; }
    [[nodiscard]] QString powerSymbol() const;
    [[nodiscard]] QString powerTitle() const;
    [[nodiscard]] QString powerDetail() const;
    // A low battery: its symbol is shown in the warning colour.
    [[nodiscard]] bool powerLow() const;
    [[nodiscard]] const QString &statusText() const { return m_statusText; }
    [[nodiscard]] bool applying() const { return m_applying; }
    // Tells screen readers how a change started in the panel ended, as the main window does
    // for its own; the main window may be closed.
    [[nodiscard]] Announcement *announcement() const { return m_announcement; }
    // The applied profile's settings were changed outside Pellor (the workspace tells); the
    // panel then offers Reapply.
    [[nodiscard]] bool drifted() const { return m_drifted && !m_applying; }
    void setDrifted(bool drifted);
    // The latest live read says sleep is disabled system-wide (the workspace tells).
    [[nodiscard]] bool sleepDisabled() const { return m_sleepDisabled; }
    void setSleepDisabled(bool disabled);
    // The applied session's automatic return failed; the panel offers Try Again.
    [[nodiscard]] bool returnFailed() const { return !m_returnFailure.isEmpty() && !m_applying; }
    // Why it failed, in the store's words.
    [[nodiscard]] const QString &returnFailure() const { return m_returnFailure; }
    // A line about what happened while no Pellor was running; empty when there is none.
    [[nodiscard]] const QString &noticeText() const { return m_noticeText; }
    [[nodiscard]] const QString &focusedID() const { return m_focusedID; }
    void setFocusedID(const QString &id);
    [[nodiscard]] int focusedRow() const;
    [[nodiscard]] ProfileRowsModel *profileList() const { return m_profileList; }

    // Re-reads the store and the library; reads the power source when forced or when the last
    // reading is 5 or more seconds old.
    void refresh(bool forcePower);
    // Why the profile in effect is in effect; none until automatic switching has started.
    [[nodiscard]] SwitchingReason *reason() const { return m_reason; }
    void setReason(SwitchingReason *reason);

    // Up and Down move the keyboard focus through the profiles and wrap around; with nothing
    // (or something gone) focused, Down picks the first and Up the last.
    Q_INVOKABLE void moveFocus(norvane::QuickPanelModel::Direction direction);
    // The identifier focus moves to from `focused` among `ids`; `focused` itself when the move
    // is ignored.
    [[nodiscard]] static QString movedFocus(const QStringList &ids, const QString &focused,
                                            Direction direction);
    // Activates the focused profile; false when no profile is focused.
    Q_INVOKABLE bool activateFocused();

    // Applies the profile; one the policy forbids (its row says so) is ignored.
    Q_INVOKABLE void activate(const QString &id);
    // Applies the applied profile again.
    Q_INVOKABLE void reapply();
    // Starts the failed automatic return again.
    Q_INVOKABLE void tryAgain();
    Q_INVOKABLE void open();
    Q_INVOKABLE void settings();
    Q_INVOKABLE void create();
    Q_INVOKABLE void quit();
    Q_INVOKABLE void dismiss();

    std::function<void(const Profile &)> onActivate;
    std::function<void()> onOpen;
    std::function<void()> onSettings;
    std::function<void()> onCreate;
    std::function<void()> onQuit;
    std::function<void()> onDismiss;

signals:
    void revisionChanged();
    void powerChanged();
    void statusChanged();
    void reasonChanged();
    void focusedIDChanged();

private:
    SwitchingReason *m_reason = nullptr;
    void readPower();
    void updateFromStore();

    SessionStore &m_store;
    ProfileLibrary &m_library;
    Environment m_environment;
    int m_revision = 0;
    PowerStatus m_power;
    std::optional<QDateTime> m_powerReadAt; // none: the distant past
    bool m_readingPower = false;
    QString m_statusText;
    bool m_applying = false;
    bool m_startedHere = false; // the change under way was started in the panel
    bool m_drifted = false;
    bool m_sleepDisabled = false;
    QString m_returnFailure;
    QString m_noticeText;
    QString m_focusedID;
    ProfileRowsModel *m_profileList;
    Announcement *m_announcement;
};

} // namespace norvane
