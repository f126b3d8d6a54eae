#include "RuleListing.h"

#include "Managed/ManagedSettings.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleEngine.h"
#include "Rules/RuleReadings.h"

#include <QTimeZone>

namespace norvane {

RuleListing RuleListing::make(const RuleBook &book, const ManagedSettings &administrator,
                              const ProfileLibrary &library, const World &world,
                              const QDateTime &now, bool pellorRunning) {
    const bool personsAllowed = administrator.policyInForce().allowRules;
    const QList<Rule> all = administrator.rules() + book.rules();
    RuleEngine engine([&library](const QString &id) { return library.profile(id).has_value(); },
                      QTimeZone::systemTimeZone());
    engine.setRules(all);
    engine.setPaused(book.isPaused());
    // Not acting, the engine only works out which conditions hold; what is in effect is moot.
    if (!all.isEmpty())
        (void)engine.start(RuleReadings::read(world, all, now), {}, /*act*/ false);

    RuleListing listing{{}, book.isPaused(), pellorRunning};
    for (qsizetype index = 0; index < all.size(); ++index) {
        const Rule &rule = all[index];
        const bool managed = index < administrator.rules().size();
        const std::optional<Profile> profile = library.profile(rule.profileId);
        Entry entry{rule, profile ? std::optional(profile->localizedTitle()) : std::nullopt};
        entry.managed = managed;
        entry.state = !profile                      ? Entry::State::broken
                      : !managed && !personsAllowed ? Entry::State::offByPolicy
                      : !rule.enabled               ? Entry::State::disabled
                      : rule.when.kind == Condition::Kind::externalDisplay
                          ? Entry::State::seenByPellor
                      : engine.holds(rule.id) ? Entry::State::holding
                                              : Entry::State::notHolding;
        listing.entries << entry;
    }
    return listing;
}

} // namespace norvane
