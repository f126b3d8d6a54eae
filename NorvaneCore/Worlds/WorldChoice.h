#pragma once

#include "World.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace norvane {

// A system Pellor can drive besides a Mac, offered by the Linux desktop library.
struct WorldOffer {
    QString id;               // the PELLOR_PLATFORM value that picks it ("gnome")
    QStringList desktopNames; // the names XDG_CURRENT_DESKTOP gives it ("GNOME", "GNOME-Classic")
    std::function<bool()> answers; // its settings can be read here
    std::function<std::shared_ptr<const World>()> make;
};

// Offers a world to every later choice; an offer with the id of an earlier one replaces it.
void offerWorld(const WorldOffer &offer);

struct WorldChoice {
    std::shared_ptr<const World> world;
    // One line when the simulated Mac stands in for lack of a desktop, or when PELLOR_PLATFORM
    // names none Pellor knows; empty otherwise.
    QString note;
};

// PELLOR_PLATFORM first ("simulated", or the id of an offered world); else a Mac on macOS; else
// the first offered world that XDG_CURRENT_DESKTOP names and whose settings answer; else the
// simulated Mac.
[[nodiscard]] WorldChoice chooseWorld(const QString &platform, const QString &currentDesktop);
// The choice for this process's environment, installed as the current world (with its note).
WorldChoice useSystemWorld();

} // namespace norvane
