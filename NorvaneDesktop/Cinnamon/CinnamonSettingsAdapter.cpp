#include "CinnamonSettingsAdapter.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

GSettingsIdleAdapter::Layout layout() {
    return {.powerSchema = u"org.cinnamon.settings-daemon.plugins.power"_s,
            .displayKey = u"sleep-display-%1"_s,
            .sleepKey = u"sleep-inactive-%1-timeout"_s,
            .sleepTypeKey = u"sleep-inactive-%1-type"_s,
            .dimKey = u"idle-dim-%1"_s,
            .sessionSchema = u"org.cinnamon.desktop.session"_s,
            .idleDelayKey = u"idle-delay"_s,
            .idleDelayUnit = 1,
            .saverSchema = u"org.cinnamon.desktop.screensaver"_s,
            .saverEnabledKey = u"idle-activation-enabled"_s,
            .neverByDelay = true};
}

} // namespace

CinnamonSettingsAdapter::CinnamonSettingsAdapter() : GSettingsIdleAdapter(layout()) {}

bool CinnamonSettingsAdapter::answers() {
    return installed(layout());
}

SystemIdentity CinnamonSettingsAdapter::identity() const {
    SystemIdentity identity;
    identity.id = u"cinnamon"_s;
    identity.name = u"Cinnamon"_s;
    identity.isMac = false;
    identity.timersSource = u"GSettings org.cinnamon.settings-daemon.plugins.power "
                            "sleep-display-*, sleep-inactive-*"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource = u"GSettings org.cinnamon.desktop.session idle-delay"_s;
    identity.holdersSource = u"logind ListInhibitors, org.gnome.SessionManager GetInhibitors"_s;
    identity.powerSettingsCommand = {u"cinnamon-settings"_s, u"power"_s};
    return identity;
}

} // namespace norvane
