#include "DesktopWorlds.h"

#include "Gnome/GnomeSettingsAdapter.h"
#include "Kde/KdeSettingsAdapter.h"
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
    offerWorld(
        {u"gnome"_s,
         {u"GNOME"_s, u"GNOME-Classic"_s, u"GNOME-Flashback"_s},
         &GnomeSettingsAdapter::answers,
         [] { return std::make_shared<DesktopWorld>(std::make_shared<GnomeSettingsAdapter>()); }});
    offerWorld({u"kde"_s, {u"KDE"_s}, &KdeSettingsAdapter::answers, [] {
                    return std::make_shared<DesktopWorld>(std::make_shared<KdeSettingsAdapter>());
                }});
    offerWorld({u"xfce"_s, {u"XFCE"_s}, &XfceSettingsAdapter::answers, [] {
                    return std::make_shared<DesktopWorld>(std::make_shared<XfceSettingsAdapter>());
                }});
}

} // namespace norvane
