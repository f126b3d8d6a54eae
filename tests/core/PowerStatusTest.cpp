#include "Status/PowerStatus.h"

#include <gtest/gtest.h>

using namespace norvane;
using Source = PowerStatus::Source;

namespace {

PowerSourceDescription battery(const QVariantMap &extra = {}) {
    PowerSourceDescription description{{QStringLiteral("Type"), QStringLiteral("InternalBattery")},
                                       {QStringLiteral("Current Capacity"), 80},
                                       {QStringLiteral("Max Capacity"), 100}};
    description.insert(extra);
    return description;
}

} // namespace

TEST(PowerStatusParse, TheProvidingSourceDecidesWhatIsRead) {
    const QString ac = QStringLiteral("AC Power");
    const QString onBattery = QStringLiteral("Battery Power");
    const QString onUps = QStringLiteral("UPS Power");
    const PowerSourceDescription ups{{QStringLiteral("Type"), QStringLiteral("UPS")},
                                     {QStringLiteral("Current Capacity"), 50},
                                     {QStringLiteral("Max Capacity"), 100},
                                     {QStringLiteral("Time to Empty"), 30}};
    const struct {
        QList<PowerSourceDescription> descriptions;
        std::optional<QString> providing;
        PowerStatus expected;
    } rows[] = {
        {{}, QStringLiteral("ac power"), {}}, // the names match exactly
        // Flags are numbers or booleans; no time remaining while charging or on the adapter.
        {{battery({{"Is Charging", 2}, {"Time to Full Charge", 45}, {"Time to Empty", 300}})},
         onBattery,
         {Source::battery, true, 80, true, false, 45, {}}},
        {{battery({{"Is Charging", "yes"}, {"Time to Empty", 125}})},
         onBattery,
         {Source::battery, true, 80, false, false, {}, 125}},
        // Estimates must be positive whole numbers.
        {{battery({{"Time to Empty", 0}})}, onBattery, {Source::battery, true, 80}},
        {{battery({{"Time to Empty", "125"}})}, onBattery, {Source::battery, true, 80}},
        // The first present battery of exactly this type; a present flag of another type is true.
        {{battery({{"Type", "internalbattery"}}), battery({{"Type", 1}}),
          battery({{"Is Present", false}})},
         ac,
         {Source::adapter}},
        {{battery({{"Is Present", 0}, {"Current Capacity", 10}}),
          battery({{"Is Present", "no"}, {"Current Capacity", 60}}), battery()},
         ac,
         {Source::adapter, true, 60}},
        // On UPS power the UPS is read, and only then.
        {{battery({{"Is Charging", true}}), ups},
         onUps,
         {Source::ups, true, 50, false, false, {}, 30}},
        {{battery({{"Is Charging", true}, {"Is Charged", true}})}, onUps, {Source::ups, true}},
        {{ups}, ac, {Source::adapter}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PowerStatus::parse(row.descriptions, row.providing), row.expected)
            << row.providing.value_or(QString()).toStdString() << " " << row.descriptions.size();
}

TEST(PowerStatusParse, CapacityRoundsHalvesAwayFromZeroAndCapsAt100) {
    const struct {
        QVariant current;
        QVariant maximum;
        std::optional<qint64> percentage;
    } rows[] = {
        {1, 3, 33},           {2, 3, 67},     {1, 8, 13},    {120, 100, 100},
        {0, 100, 0},          {5, 0, {}},     {-1, 100, {}}, {QStringLiteral("80"), 100, {}},
        {80, QVariant(), {}}, {42.9, 50, 84}, // numbers are read as whole numbers first
    };
    for (const auto &row : rows)
        EXPECT_EQ(PowerStatus::parse(
                      {battery({{"Current Capacity", row.current}, {"Max Capacity", row.maximum}})},
                      QStringLiteral("AC Power"))
                      .percentage,
                  row.percentage)
            << row.current.toString().toStdString() << "/" << row.maximum.toString().toStdString();
}
