#pragma once

#include "ControlProtocol.h"
#include "ReopenChannel.h"

namespace norvane {

class AppDelegate;
class SessionStore;

// Carries out the requests that arrive over the local channel (pellorctl, a second launch) in the
// running application, through the delegate's own library and session store: its timer, menus,
// status item and Active badge follow a change made from the command line.
namespace RemoteControl {

void handle(AppDelegate &delegate, const control::Request &request,
            const ReopenChannel::Reply &reply);

// What the session store says about the session now.
[[nodiscard]] control::SessionState sessionState(const SessionStore &store);

} // namespace RemoteControl

} // namespace norvane
