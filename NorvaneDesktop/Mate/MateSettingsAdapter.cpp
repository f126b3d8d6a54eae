#include "MateSettingsAdapter.h"

namespace norvane {

namespace {

using namespace Qt::StringLiterals;

GSettingsIdleAdapter::Layout layout() {
    return {.powerSchema = u"org.mate.power-manager"_s,
            .displayKey = u"sleep-display-%1"_s,
            .sleepKey = u"sleep-computer-%1"_s,
            .sleepTypeKey = u"action-sleep-type-%1"_s,
            .dimKey = u"idle-dim-%1"_s,
            .sessionSchema = u"org.mate.session"_s,
            .idleDelayKey = u"idle-delay"_s,
            .idleDelayUnit = 60,
            .saverSchema = u"org.mate.screensaver"_s,
            .saverEnabledKey = u"idle-activation-enabled"_s,
            .neverByDelay = false};
}

} // namespace

MateSettingsAdapter::MateSettingsAdapter() : GSettingsIdleAdapter(layout()) {}

bool MateSettingsAdapter::answers() {
    return installed(layout());
}

SystemIdentity MateSettingsAdapter::identity() const {
    SystemIdentity identity;
    identity.id = u"mate"_s;
    identity.name = u"MATE"_s;
    identity.isMac = false;
    identity.timersSource = u"GSettings org.mate.power-manager sleep-display-*, sleep-computer-*"_s;
    identity.powerSource = u"UPower"_s;
    identity.screenSaverSource =
        u"GSettings org.mate.session idle-delay, org.mate.screensaver idle-activation-enabled"_s;
    identity.holdersSource = u"logind ListInhibitors, org.gnome.SessionManager GetInhibitors"_s;
    identity.powerSettingsCommand = {u"mate-power-preferences"_s};
    return identity;
}

} // namespace norvane
