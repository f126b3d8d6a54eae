#pragma once

#include "Profiles/Profile.h"

#include <QObject>
#include <QQmlEngine>
#include <optional>

namespace norvane {

class WorkspaceModel;
struct SystemSettings;

// Normal is where Pellor returns after every timed profile, so the factory Normal applied over a
// person's own idle times would quietly set their computer up differently. While no profile of
// Pellor's is in effect, the live times are the person's own: when they differ from the factory
// Normal, the window asks once whether Normal should take them. Taking them is an edit of Normal
// that Undo (or Reset to Factory Settings) takes back; either answer is remembered.
class NormalOffer : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the workspace model")
    Q_PROPERTY(State state READ state NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)

public:
    enum State { Hidden, Asking, Adopted };
    Q_ENUM(State)

    explicit NormalOffer(WorkspaceModel *model);

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] const QString &text() const { return m_text; }

    Q_INVOKABLE void useCurrentTimes();
    Q_INVOKABLE void keepPellorsNormal();
    // Puts the factory Normal back after useCurrentTimes().
    Q_INVOKABLE void undo();
    Q_INVOKABLE void dismiss();

    // The factory Normal with the times `settings` read; none when the display or sleep time is
    // unreadable, the times would not make a valid profile, or they are Normal's already. Where
    // the screen saver has no timer of its own or its time is unread, Normal keeps its own.
    [[nodiscard]] static std::optional<Profile> currentTimesAsNormal(const SystemSettings &settings,
                                                                     bool ownScreenSaverTimer);

    static constexpr char answeredKey[] = "normalOfferAnswered";

signals:
    void changed();

private:
    void update();
    void setState(State state, const QString &text = {});
    [[nodiscard]] static QString question(const Profile &current, bool screenSaverRead);

    WorkspaceModel *m_model;
    State m_state = Hidden;
    QString m_text;
    std::optional<Profile> m_current; // Normal with the computer's times while asking
};

} // namespace norvane
