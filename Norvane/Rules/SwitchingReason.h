#pragma once

#include <QObject>
#include <QQmlEngine>

namespace norvane {

class RuleSwitcher;
class SessionStore;

// Why the profile in effect is in effect, where rules may switch: "Applied by rule: On battery",
// or the person's own choice and whether that paused automatic switching, with the way to resume
// it. Empty where no rule is in force and nothing is paused. Shared by the main window, the quick
// panel and the status item; lives on the main thread.
class SwitchingReason : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application creates it")
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(bool canResume READ canResume NOTIFY changed)

public:
    SwitchingReason(const SessionStore &store, RuleSwitcher &switcher, QObject *parent = nullptr);

    [[nodiscard]] const QString &text() const { return m_text; }
    // Resume Automatic Switching is offered.
    [[nodiscard]] bool canResume() const { return m_canResume; }

    // Resume Automatic Switching.
    Q_INVOKABLE void resume();
    // Reads the store and the switcher again; each tells of its changes.
    void update();

signals:
    void changed();

private:
    const SessionStore &m_store;
    RuleSwitcher &m_switcher;
    QString m_text;
    bool m_canResume = false;
};

} // namespace norvane
