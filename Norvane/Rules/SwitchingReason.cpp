#include "SwitchingReason.h"

#include "Localization/L10n.h"
#include "Rules/RuleSwitcher.h"
#include "Sessions/SessionStore.h"

#include <algorithm>

namespace norvane {

SwitchingReason::SwitchingReason(const SessionStore &store, RuleSwitcher &switcher, QObject *parent)
    : QObject(parent), m_store(store), m_switcher(switcher) {
    connect(&m_switcher, &RuleSwitcher::changed, this, &SwitchingReason::update);
    connect(&m_store, &SessionStore::changed, this, &SwitchingReason::update);
    update();
}

void SwitchingReason::resume() {
    m_switcher.resume();
    update();
}

void SwitchingReason::update() {
    const QList<Rule> rules = m_switcher.inForce();
    const bool anyRule =
        std::any_of(rules.cbegin(), rules.cend(), [](const Rule &rule) { return rule.enabled; });
    const bool applied = m_store.hasAppliedProfile();
    const std::optional<AppliedByRule> &rule =
        applied ? m_store.session().rule : std::optional<AppliedByRule>();
    QString text;
    bool canResume = false;
    if (rule) {
        text = L10n::text({"Applied by rule: {0}", {rule->description}});
    } else if (anyRule && m_switcher.isPaused()) {
        text = L10n::text("Automatic switching paused");
        canResume = true;
    } else if (anyRule && m_switcher.isPausedByPerson()) {
        text = L10n::text("Chosen by you — automatic switching paused");
        canResume = true;
    } else if (anyRule && applied) {
        text = L10n::text("Chosen by you");
    }
    if (text == m_text && canResume == m_canResume)
        return;
    m_text = text;
    m_canResume = canResume;
    emit changed();
}

} // namespace norvane
