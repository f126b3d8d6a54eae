#pragma once

#include "Rules/Rule.h"

#include <QList>
#include <QString>
#include <QStringList>

// The conditions of "pellorctl rules add --when KIND [VALUES]" as people type them. What cannot
// be read throws UsageError; whether a condition that reads well is possible (a battery level of
// 0, a schedule without days) is for Rule::validated() to say.
namespace norvane::ConditionSyntax {

// Every form --when takes, for the help and for messages.
inline constexpr const char *forms =
    "battery|adapter|ups|battery-below N|schedule DAYS HH:MM-HH:MM|app NAME|external-display";

// "battery", "battery-below" {"20"}, "schedule" {"mon-fri", "09:00-17:30"}, "app" {"firefox"}.
[[nodiscard]] Condition parse(const QString &kind, const QStringList &values);
// Day names in English (mon … sun, or in full), comma-separated, with ranges (mon-fri, fri-mon
// across the weekend) and the words weekdays, weekends and daily: the days from 1 (Monday) to 7,
// ascending, each once. Empty text gives no days.
[[nodiscard]] QList<int> days(const QString &text);

} // namespace norvane::ConditionSyntax
