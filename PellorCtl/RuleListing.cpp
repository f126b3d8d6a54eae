#include "RuleListing.h"

#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleEngine.h"
#include "Rules/RuleReadings.h"

#include <QTimeZone>

namespace norvane {

RuleListing RuleListing::make(const RuleBook &book, const ProfileLibrary &library,
                              const World &world, const QDateTime &now, bool pellorRunning) {
    RuleEngine engine([&library](const QString &id) { return library.profile(id).has_value(); },
                      QTimeZone::systemTimeZone());
    engine.setRules(book.rules());
    engine.setPaused(book.isPaused());
    // Not acting, the engine only works out which conditions hold; what is in effect is moot.
    if (!book.rules().isEmpty())
        (void)engine.start(RuleReadings::read(world, book.rules(), now), {}, /*act*/ false);

    RuleListing listing{{}, book.isPaused(), pellorRunning};
    for (const Rule &rule : book.rules()) {
        const std::optional<Profile> profile = library.profile(rule.profileId);
        Entry entry{rule, profile ? std::optional(profile->localizedTitle()) : std::nullopt};
        entry.state = !profile                ? Entry::State::broken
                      : !rule.enabled         ? Entry::State::disabled
                      : engine.holds(rule.id) ? Entry::State::holding
                                              : Entry::State::notHolding;
        listing.entries << entry;
    }
    return listing;
}

} // namespace norvane
