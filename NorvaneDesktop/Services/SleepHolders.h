#pragma once

#include "Status/PowerAssertions.h"

#include <optional>

namespace norvane {

// The desktop whose own inhibitors are read beside logind's.
enum class DesktopSession { none, gnome, kde };

// What keeps a Linux desktop awake, as the assertions a Mac would list: logind's blocking
// inhibitors (ListInhibitors: what, who, why, mode, uid, pid) and the desktop session's own
// (GNOME's GetInhibitors: app id, reason, flags; PowerDevil's policy agent: ActiveInhibitions,
// else ListInhibitions). An inhibitor of "idle" keeps the display on, one of "sleep" keeps the
// computer awake; the holder's type says which ("idle", "sleep", "idle:sleep"), its process who
// holds it and its name why. Delaying inhibitors hold nothing, and one that PowerDevil lists as
// logind does is told once. None when no service answers.
[[nodiscard]] std::optional<PowerAssertions>
readSleepHolders(DesktopSession desktop = DesktopSession::gnome);

// One logind inhibitor as listed, for the holders; none when it holds nothing Pellor tells.
[[nodiscard]] std::optional<PowerAssertion> logindHolder(const QString &what, const QString &who,
                                                         const QString &why, const QString &mode,
                                                         uint uid, uint pid);
// One inhibition PowerDevil lists as active (what, who, why, mode), for the holders.
[[nodiscard]] std::optional<PowerAssertion>
powerDevilHolder(const QString &what, const QString &who, const QString &why, const QString &mode);
// One GNOME session inhibitor, by its flags (4 suspend, 8 idle); none when it holds neither.
[[nodiscard]] std::optional<PowerAssertion> sessionHolder(const QString &appId,
                                                          const QString &reason, uint flags);

} // namespace norvane
