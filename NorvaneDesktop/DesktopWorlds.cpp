#include "DesktopWorlds.h"

#include "Cinnamon/CinnamonSettingsAdapter.h"
#include "Gnome/GnomeSettingsAdapter.h"
#include "Kde/KdeSettingsAdapter.h"
#include "Mate/MateSettingsAdapter.h"
#include "Services/DesktopWorld.h"
#include "Worlds/WorldChoice.h"
#include "Xfce/XfceSettingsAdapter.h"

#include <QDBusMetaType>

namespace norvane {

void offerDesktopWorlds() {
    using namespace Qt::StringLiterals;
    // Qt D-Bus registers its own types the first time it needs them, unguarded: done here, on
    // the main thread before any bus is connected, the connection's thread never races it into
    // half-registered types ("Trying to construct an instance of an invalid type").
    (void)QDBusMetaType::signatureToMetaType("ao");
    // Budgie ("Budgie:GNOME") and Pantheon run GNOME's settings daemon, and their power panels
    // write GNOME's keys.
    offerWorld(
        {u"gnome"_s,
         {u"GNOME"_s, u"GNOME-Classic"_s, u"GNOME-Flashback"_s, u"Budgie"_s, u"Pantheon"_s},
         &GnomeSettingsAdapter::answers,
         [] { return std::make_shared<DesktopWorld>(std::make_shared<GnomeSettingsAdapter>()); }});
    offerWorld({u"kde"_s, {u"KDE"_s}, &KdeSettingsAdapter::answers, [] {
                    return std::make_shared<DesktopWorld>(std::make_shared<KdeSettingsAdapter>());
                }});
    offerWorld(
        {u"cinnamon"_s, {u"X-Cinnamon"_s, u"Cinnamon"_s}, &CinnamonSettingsAdapter::answers, [] {
             return std::make_shared<DesktopWorld>(std::make_shared<CinnamonSettingsAdapter>());
         }});
    offerWorld({u"mate"_s, {u"MATE"_s}, &MateSettingsAdapter::answers, [] {
                    return std::make_shared<DesktopWorld>(std::make_shared<MateSettingsAdapter>());
                }});
    offerWorld({u"xfce"_s, {u"XFCE"_s}, &XfceSettingsAdapter::answers, [] {
                    return std::make_shared<DesktopWorld>(std::make_shared<XfceSettingsAdapter>());
                }});
}

} // namespace norvane
