#include "DesktopWorlds.h"

#include "Gnome/GnomeWorld.h"
#include "Worlds/WorldChoice.h"

namespace norvane {

void offerDesktopWorlds() {
    using namespace Qt::StringLiterals;
    offerWorld({u"gnome"_s,
                {u"GNOME"_s, u"GNOME-Classic"_s, u"GNOME-Flashback"_s},
                &GnomeWorld::answers,
                [] { return std::make_shared<GnomeWorld>(); }});
}

} // namespace norvane
