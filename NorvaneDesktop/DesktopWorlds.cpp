#include "DesktopWorlds.h"

#include "Gnome/GnomeWorld.h"
#include "Kde/KdeWorld.h"
#include "Worlds/WorldChoice.h"
#include "Xfce/XfceWorld.h"

namespace norvane {

void offerDesktopWorlds() {
    using namespace Qt::StringLiterals;
    offerWorld({u"gnome"_s,
                {u"GNOME"_s, u"GNOME-Classic"_s, u"GNOME-Flashback"_s},
                &GnomeWorld::answers,
                [] { return std::make_shared<GnomeWorld>(); }});
    offerWorld(
        {u"kde"_s, {u"KDE"_s}, &KdeWorld::answers, [] { return std::make_shared<KdeWorld>(); }});
    offerWorld({u"xfce"_s, {u"XFCE"_s}, &XfceWorld::answers, [] {
                    return std::make_shared<XfceWorld>();
                }});
}

} // namespace norvane
