#pragma once

#include "Status/PowerStatus.h"

#include <QString>

// What the quick panel's header says about the power source.
namespace norvane::PowerTexts {

// The system symbol name of the source and charge.
[[nodiscard]] QString symbol(const PowerStatus &power);
// "Battery · 85%", "UPS · 40%", or the source's name when no percentage is known.
[[nodiscard]] QString title(const PowerStatus &power);
// Charging, plugged in, time remaining, or the source's state; in `language` when given, else
// in the current language.
[[nodiscard]] QString detail(const PowerStatus &power, const QString &language = {});
// A known charge below 21 % that is not charging: the symbol is shown in the warning colour,
// else in the success colour.
[[nodiscard]] bool isLow(const PowerStatus &power);

} // namespace norvane::PowerTexts
