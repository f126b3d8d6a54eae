// The power status read from power-source descriptions of any shape: whatever the values, the
// status keeps its own rules (a percentage from 0 to 100, estimates only when they apply).
#include "FuzzSupport.h"
#include "Status/PowerStatus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace norvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input input(data, size);
    const QString providing = input.text();
    // The descriptions: a JSON array of objects, with numbers as integers or doubles as JSON
    // gives them, as the system's dictionaries hold numbers of either kind.
    const QJsonDocument document = QJsonDocument::fromJson(input.rest());
    QList<PowerSourceDescription> descriptions;
    for (const auto &entry : document.array())
        descriptions << entry.toObject().toVariantMap();

    const PowerStatus status = PowerStatus::parse(
        descriptions, providing.isEmpty() ? std::nullopt : std::optional(providing));
    if (status.percentage)
        FUZZ_CHECK(*status.percentage >= 0 && *status.percentage <= 100);
    if (status.minutesToFull)
        FUZZ_CHECK(status.isCharging && *status.minutesToFull > 0);
    if (status.minutesRemaining)
        FUZZ_CHECK(!status.isCharging && *status.minutesRemaining > 0 &&
                   (status.source == PowerStatus::Source::battery ||
                    status.source == PowerStatus::Source::ups));
    if (status.source == PowerStatus::Source::unknown)
        FUZZ_CHECK(providing != QLatin1String("AC Power") &&
                   providing != QLatin1String("Battery Power") &&
                   providing != QLatin1String("UPS Power"));
    return 0;
}
