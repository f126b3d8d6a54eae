#pragma once

#include "Platform/NoticeCentre.h"
#include "Rules/RuleSwitcher.h"

#include <QObject>
#include <functional>
#include <optional>

namespace norvane {

class ProfileLibrary;
class RuleNoticesPreference;

// Tells the person what the rules switched, outside the windows: "On battery: Battery Saver
// applied" with Undo, which goes back to the profile before as the person's own choice (and so
// pauses automatic switching), and a failed switch with Try Again. Through the notice centre
// where there is one, else as the status item's message (no buttons there); while the preference
// is off, neither. A screen reader hears the same words in any case.
class RuleNotifier : public QObject {
    Q_OBJECT

public:
    struct Environment {
        NoticeCentre *centre = nullptr; // none: the status item's message alone
        // Shows the status item's message, where there is a status item.
        std::function<void(const QString &summary, const QString &body)> showMessage;
        std::function<void(const QString &text)> announce;
        // Applies the profile with this identifier ("normal" included) as the person's choice.
        std::function<void(const QString &profileId)> apply;
    };

    RuleNotifier(RuleSwitcher &switcher, const ProfileLibrary &library,
                 const RuleNoticesPreference &preference, Environment environment,
                 QObject *parent = nullptr);

    // What a switch says: its reason (the rule's description, or that it ended), the profile's
    // title, and Undo.
    [[nodiscard]] static NoticeCentre::Notice noticeOf(const RuleSwitch &change,
                                                       const QString &profileTitle);
    // What a failed switch says: that it failed, why, and Try Again.
    [[nodiscard]] static NoticeCentre::Notice failureOf(const QString &message);

    static constexpr const char *undoKey = "undo";
    static constexpr const char *retryKey = "retry";

private:
    void tell(const NoticeCentre::Notice &notice);
    void showInStatusItem(const NoticeCentre::Notice &notice);
    void act(const QString &key);

    RuleSwitcher &m_switcher;
    const ProfileLibrary &m_library;
    const RuleNoticesPreference &m_preference;
    Environment m_environment;
    std::optional<QString> m_undoTo; // where Undo on the latest notice goes back to
};

} // namespace norvane
