#pragma once

#include "Status/PowerAssertions.h"

#include <optional>

namespace norvane {

// What keeps a Linux desktop awake, as the assertions a Mac would list: logind's blocking
// inhibitors (ListInhibitors: what, who, why, mode, uid, pid) and the desktop session's own
// (GNOME's GetInhibitors: app id, reason, flags). An inhibitor of "idle" keeps the display on, one
// of "sleep" keeps the computer awake; the holder's type says which ("idle", "sleep",
// "idle:sleep"), its process who holds it and its name why. Delaying inhibitors hold nothing.
// None when neither service answers.
[[nodiscard]] std::optional<PowerAssertions> readSleepHolders();

// One logind inhibitor as listed, for the holders; none when it holds nothing Pellor tells.
[[nodiscard]] std::optional<PowerAssertion> logindHolder(const QString &what, const QString &who,
                                                         const QString &why, const QString &mode,
                                                         uint uid, uint pid);
// One GNOME session inhibitor, by its flags (4 suspend, 8 idle); none when it holds neither.
[[nodiscard]] std::optional<PowerAssertion> sessionHolder(const QString &appId,
                                                          const QString &reason, uint flags);

} // namespace norvane
