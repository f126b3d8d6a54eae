#include "RuleNotifier.h"

#include "Localization/L10n.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleNoticesPreference.h"

namespace norvane {

RuleNotifier::RuleNotifier(RuleSwitcher &switcher, const ProfileLibrary &library,
                           const RuleNoticesPreference &preference, Environment environment,
                           QObject *parent)
    : QObject(parent), m_switcher(switcher), m_library(library), m_preference(preference),
      m_environment(std::move(environment)) {
    connect(&switcher, &RuleSwitcher::switched, this, [this](const RuleSwitch &change) {
        const std::optional<Profile> profile = m_library.profileOrNormal(change.profileId);
        m_undoTo = change.previousProfileId;
        tell(noticeOf(change, profile ? profile->localizedTitle() : change.profileId));
    });
    connect(&switcher, &RuleSwitcher::switchFailed, this,
            [this](const RuleSwitch &, const QString &message) {
                m_undoTo.reset();
                tell(failureOf(message));
            });
    if (m_environment.centre) {
        connect(m_environment.centre, &NoticeCentre::actionInvoked, this, &RuleNotifier::act);
        connect(m_environment.centre, &NoticeCentre::undelivered, this,
                &RuleNotifier::showInStatusItem);
    }
}

NoticeCentre::Notice RuleNotifier::noticeOf(const RuleSwitch &change, const QString &profileTitle) {
    const QString reason = change.returned || !change.rule ? L10n::text("Rule ended")
                                                           : change.rule->when.description();
    NoticeCentre::Notice notice{L10n::text({"{0}: {1} applied", {reason, profileTitle}}),
                                {},
                                {{QString::fromLatin1(undoKey), L10n::text("Undo")}}};
    if (change.returned && change.rule)
        notice.body = L10n::text({"{0} no longer holds.", {change.rule->when.description()}});
    return notice;
}

NoticeCentre::Notice RuleNotifier::failureOf(const QString &message) {
    return {L10n::text("A rule could not switch profiles"),
            message,
            {{QString::fromLatin1(retryKey), L10n::text("Try Again")}}};
}

void RuleNotifier::tell(const NoticeCentre::Notice &notice) {
    if (m_environment.announce)
        m_environment.announce(notice.summary);
    if (!m_preference.isEnabled())
        return;
    if (m_environment.centre)
        m_environment.centre->post(notice);
    else
        showInStatusItem(notice);
}

void RuleNotifier::showInStatusItem(const NoticeCentre::Notice &notice) {
    if (m_environment.showMessage)
        m_environment.showMessage(notice.summary, notice.body);
}

void RuleNotifier::act(const QString &key) {
    if (key == QLatin1StringView(retryKey))
        return m_switcher.retry();
    if (key == QLatin1StringView(undoKey) && m_undoTo && m_environment.apply)
        m_environment.apply(*std::exchange(m_undoTo, std::nullopt));
}

} // namespace norvane
