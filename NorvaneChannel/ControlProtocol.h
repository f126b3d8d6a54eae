#pragma once

#include "Sessions/Session.h"

#include <QByteArray>
#include <QString>
#include <optional>

// What travels over the local channel of a running Pellor: one request line from the client, one
// response line back, each a compact JSON object with a "version" member. A newer peer may add
// members; readers ignore what they do not know.
//
//   request   {"version":1,"request":"apply","profile":"focus","minutes":5}
//             "request" is "show" (bring the window back), "status", "apply" or "restore";
//             "minutes" is the automatic return (absent: the profile's own, 0: none)
//   response  {"version":1,"outcome":"ok","message":"","session":{...}}
//             "outcome" is "ok", "cancelled", "failed", "notFound", "busy" or "invalid";
//             "session" describes the session after the request (see SessionState)
namespace norvane::control {

inline constexpr int protocolVersion = 1;

struct Request {
    enum class Kind { show, status, apply, restore };

    Kind kind = Kind::show;
    QString profileId;             // apply: the profile's identifier
    std::optional<qint64> minutes; // apply: none uses the profile's automatic return

    [[nodiscard]] QByteArray encoded() const; // one line, ending in a line feed
    // None when the line is not a request of this protocol.
    [[nodiscard]] static std::optional<Request> decode(const QByteArray &line);

    friend bool operator==(const Request &, const Request &) = default;
};

// The running application's session, as its session store sees it.
struct SessionState {
    bool applying = false;
    std::optional<QString> profileId;  // the applied profile; none while using system settings
    QString title;                     // its localized title
    std::optional<qint64> secondsLeft; // until the automatic return; none without a timer
    QString timeLabel;                 // the status label the application shows

    // An applied session as it stands at `now`.
    [[nodiscard]] static SessionState applied(const Session &session, const QDateTime &now);

    friend bool operator==(const SessionState &, const SessionState &) = default;
};

struct Response {
    enum class Outcome { ok, cancelled, failed, notFound, busy, invalid };

    Outcome outcome = Outcome::ok;
    QString message; // the failure's localized description
    SessionState session;

    [[nodiscard]] QByteArray encoded() const;
    [[nodiscard]] static std::optional<Response> decode(const QByteArray &line);

    friend bool operator==(const Response &, const Response &) = default;
};

// One channel per user and settings folder, so separate sandboxes never meet.
[[nodiscard]] QString serverName();

} // namespace norvane::control
