#include "CurrentSystemBridge.h"

#include "Platform/SystemIdentity.h"

namespace norvane {

bool CurrentSystemBridge::screenSaverFollowsDisplay() {
    return !currentSystem().ownScreenSaverTimer;
}

} // namespace norvane
