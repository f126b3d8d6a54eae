#pragma once

#include "ControlProtocol.h"

#include <optional>

namespace norvane::control {

// The client end of the channel. Blocks the calling thread: meant for command-line programs and
// for a second launch, which have nothing else to do meanwhile.
class ControlClient {
public:
    enum class Failure { notRunning, noAnswer };

    struct Result {
        std::optional<Response> response; // none: see failure
        Failure failure = Failure::notRunning;
    };

    // Sends `request` to the running Pellor and waits for its response, by default as long as it
    // takes (an apply waits for the authorization dialog). notRunning when no Pellor accepts the
    // connection within `connectTimeoutMs`; noAnswer when it closes the channel without a
    // readable response or gives none within `replyTimeoutMs` (-1: no limit).
    [[nodiscard]] static Result send(const Request &request, int connectTimeoutMs = 500,
                                     int replyTimeoutMs = -1);
    // Sends `request` without waiting for the response; false when no Pellor accepts it.
    [[nodiscard]] static bool post(const Request &request, int timeoutMs = 500);
};

} // namespace norvane::control
