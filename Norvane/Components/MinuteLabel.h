#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace norvane {

// `zero` for 0, else "{0} min" with the minutes in decimal.
[[nodiscard]] QString minuteLabel(qint64 minutes, const QString &zero);

// The minutes as a screen reader says them: "1 minute", "{0} minutes"; `zero` for 0 when given.
[[nodiscard]] QString spokenMinutes(qint64 minutes, const QString &zero = {});

// The minute values every picker offers, in menu order.
[[nodiscard]] const QList<int> &standardMinuteOptions();

// The value of a typed custom duration, or none when the entry must be rejected. Blanks and tabs
// around the text are ignored (line breaks are not); what remains must be ASCII digits only
// forming a number from 1 to 1440, so signs, fractions, other scripts' digits and overflow fail.
[[nodiscard]] std::optional<int> acceptedCustomMinutes(QStringView text);

} // namespace norvane
