#pragma once

#include <QObject>
#include <QQmlEngine>

namespace norvane {

// Whether a switch the rules make is told in a notice (Pellor ▸ Notify When Rules Switch; a
// toggle in the rules' view binds to `enabled`). Kept in the application's settings; on until the
// person turns it off.
class RuleNoticesPreference : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the application")
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)

public:
    static constexpr const char *key = "notifyWhenRulesSwitch";

    explicit RuleNoticesPreference(QObject *parent = nullptr);

    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

Q_SIGNALS:
    void enabledChanged();

private:
    bool m_enabled;
};

} // namespace norvane
