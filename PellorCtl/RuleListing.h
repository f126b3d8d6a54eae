#pragma once

#include "Rules/Rule.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace norvane {

class ManagedSettings;
class ProfileLibrary;
class RuleBook;
class World;

// The rules as "pellorctl rules" shows them: in their order, each with its profile's title and
// its state now, read from the world as the running Pellor reads it.
struct RuleListing {
    struct Entry {
        // seenByPellor: its condition is one only the running Pellor can read (the displays).
        enum class State { holding, notHolding, disabled, broken, offByPolicy, seenByPellor };

        Rule rule;
        std::optional<QString> profileTitle; // none: the library has no such profile (broken)
        State state = State::notHolding;
        bool managed = false; // the administrator's: listed first, changed by no command
    };

    QList<Entry> entries;
    bool paused = false;
    bool pellorRunning = false;

    // The administrator's rules first, then the person's (off while the policy allows none of
    // theirs). Reads the world only when there are rules. A broken rule is said before a
    // disabled one: it is the one that needs the person.
    [[nodiscard]] static RuleListing make(const RuleBook &book,
                                          const ManagedSettings &administrator,
                                          const ProfileLibrary &library, const World &world,
                                          const QDateTime &now, bool pellorRunning);
};

} // namespace norvane
