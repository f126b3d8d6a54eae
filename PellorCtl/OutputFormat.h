#pragma once

#include "ControlProtocol.h"
#include "Managed/ManagedSettings.h"
#include "Platform/SystemIdentity.h"
#include "Profiles/Profile.h"
#include "RuleListing.h"
#include "Sessions/Session.h"
#include "Status/Drift.h"
#include "Status/PowerAssertions.h"
#include "Status/PowerStatus.h"
#include "Status/SleepDiagnosis.h"
#include "Status/SystemSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace norvane::OutputFormat {

inline constexpr int jsonVersion = 1;

// What is known about the applied profile: the running Pellor's session, or, while Pellor is not
// running, the session it or pellorctl left stored.
struct Application {
    bool running = false;
    control::SessionState session; // no profile: the system's own settings are in effect
    QList<Drift> drift;            // what was changed outside Pellor since the profile was applied
    std::optional<AppliedByRule> rule; // the rule that applied the profile in effect
    bool rulesWaitForPellor = false;   // there are enabled rules, but no Pellor runs to act on them
    ManagedSettings administrator;     // what the administrator's folder provides
};

// One line per profile: a mark for the active one, the identifier, the title and the settings.
[[nodiscard]] QString listText(const QList<Profile> &profiles, const Application &application);
[[nodiscard]] QByteArray listJson(const QList<Profile> &profiles, const Application &application);

// One "label: value" line per setting, then the power source, the applied profile and the system
// whose settings these are.
[[nodiscard]] QString statusText(const SystemSettings &settings, const PowerStatus &power,
                                 const Application &application, const SystemIdentity &system);
[[nodiscard]] QByteArray statusJson(const SystemSettings &settings, const PowerStatus &power,
                                    const Application &application, const SystemIdentity &system);

// pellorctl check: one line per live setting over the policy's limits and per setting changed
// outside Pellor, or one line saying all is as it should be.
[[nodiscard]] QString checkText(const QList<Policy::Excess> &overLimits,
                                const Application &application);
[[nodiscard]] QByteArray checkJson(const QList<Policy::Excess> &overLimits,
                                   const Application &application);
// One line per rule: its number, its sentence and its state; then whether automatic switching is
// paused and whether the rules can act at all.
[[nodiscard]] QString rulesText(const RuleListing &listing);
[[nodiscard]] QByteArray rulesJson(const RuleListing &listing);
// The line that says the rules wait for Pellor.
[[nodiscard]] QString rulesNeedPellor();

// The answer to "Why isn't my Mac sleeping?": the diagnosis's sentences and holders, and the
// assertions it was made from (null when they could not be read).
[[nodiscard]] QByteArray diagnosisJson(const SystemSettings &settings,
                                       const std::optional<PowerAssertions> &assertions,
                                       const Application &application);
// The applied profile as the report names it.
[[nodiscard]] ReportSession reportSession(const Application &application);

} // namespace norvane::OutputFormat
