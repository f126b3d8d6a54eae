#include "Status/PowerStatus.h"

#include <gtest/gtest.h>

using namespace norvane;
using Source = PowerStatus::Source;

namespace {

PowerSourceDescription battery(QVariantMap extra = {}) {
    PowerSourceDescription description{{QStringLiteral("Type"), QStringLiteral("InternalBattery")},
                                       {QStringLiteral("Is Present"), true},
                                       {QStringLiteral("Current Capacity"), 80},
                                       {QStringLiteral("Max Capacity"), 100}};
    description.insert(extra);
    return description;
}

PowerSourceDescription ups(QVariantMap extra = {}) {
    PowerSourceDescription description{{QStringLiteral("Type"), QStringLiteral("UPS")},
                                       {QStringLiteral("Current Capacity"), 50},
                                       {QStringLiteral("Max Capacity"), 100}};
    description.insert(extra);
    return description;
}

std::optional<qint64> percentageOf(const QVariant &current, const QVariant &maximum) {
    return PowerStatus::parse({battery({{QStringLiteral("Current Capacity"), current},
                                        {QStringLiteral("Max Capacity"), maximum}})},
                              QStringLiteral("AC Power"))
        .percentage;
}

std::optional<qint64> remainingOnBattery(const QVariant &minutes) {
    return PowerStatus::parse({battery({{QStringLiteral("Time to Empty"), minutes}})},
                              QStringLiteral("Battery Power"))
        .minutesRemaining;
}

class FakePowerSources final : public PowerSources {
public:
    std::optional<PowerSourceSnapshot> value;
    std::optional<PowerSourceSnapshot> snapshot() const override { return value; }
};

} // namespace

TEST(PowerStatusParse, NothingKnownGivesAnEmptyRecord) {
    const PowerStatus status = PowerStatus::parse({}, std::nullopt);
    EXPECT_EQ(status, PowerStatus{});
    EXPECT_EQ(status.source, Source::unknown);
    EXPECT_FALSE(status.hasBattery);
    EXPECT_FALSE(status.isCharging);
    EXPECT_FALSE(status.isCharged);
    EXPECT_FALSE(status.percentage);
    EXPECT_FALSE(status.minutesToFull);
    EXPECT_FALSE(status.minutesRemaining);
}

TEST(PowerStatusParse, ProvidingTypesMapExactly) {
    EXPECT_EQ(PowerStatus::parse({}, QStringLiteral("AC Power")).source, Source::adapter);
    EXPECT_EQ(PowerStatus::parse({}, QStringLiteral("Battery Power")).source, Source::battery);
    EXPECT_EQ(PowerStatus::parse({}, QStringLiteral("UPS Power")).source, Source::ups);
    EXPECT_EQ(PowerStatus::parse({}, QStringLiteral("ac power")).source, Source::unknown);
    EXPECT_EQ(PowerStatus::parse({}, QStringLiteral("Solar Power")).source, Source::unknown);
}

TEST(PowerStatusParse, DesktopOnAdapterHasNoBattery) {
    const PowerStatus status = PowerStatus::parse({}, QStringLiteral("AC Power"));
    EXPECT_EQ(status.source, Source::adapter);
    EXPECT_FALSE(status.hasBattery);
    EXPECT_FALSE(status.percentage);
}

TEST(PowerStatusParse, LaptopChargingOnAdapter) {
    const PowerStatus status =
        PowerStatus::parse({battery({{QStringLiteral("Is Charging"), true},
                                     {QStringLiteral("Time to Full Charge"), 45},
                                     {QStringLiteral("Time to Empty"), 300}})},
                           QStringLiteral("AC Power"));
    const PowerStatus expected{Source::adapter, true, 80, true, false, 45, std::nullopt};
    EXPECT_EQ(status, expected);
}

TEST(PowerStatusParse, CapacityRoundsHalvesAwayFromZeroAndCapsAt100) {
    EXPECT_EQ(percentageOf(1, 3), 33);
    EXPECT_EQ(percentageOf(2, 3), 67);
    EXPECT_EQ(percentageOf(1, 8), 13);
    EXPECT_EQ(percentageOf(120, 100), 100);
    EXPECT_EQ(percentageOf(0, 100), 0);
    EXPECT_EQ(percentageOf(4200, 5000), 84);
    EXPECT_EQ(percentageOf(42.9, 50), 84); // numbers are read as whole numbers first
    EXPECT_EQ(percentageOf(5, 0), std::nullopt);
    EXPECT_EQ(percentageOf(-1, 100), std::nullopt);
    EXPECT_EQ(percentageOf(QStringLiteral("80"), 100), std::nullopt);
    EXPECT_EQ(percentageOf(80, QVariant()), std::nullopt);
}

TEST(PowerStatusParse, EstimatesMustBePositive) {
    EXPECT_EQ(remainingOnBattery(-1), std::nullopt);
    EXPECT_EQ(remainingOnBattery(0), std::nullopt);
    EXPECT_EQ(remainingOnBattery(125), 125);
    EXPECT_EQ(remainingOnBattery(QStringLiteral("125")), std::nullopt);
}

TEST(PowerStatusParse, NoTimeRemainingWhileChargingOrOnAdapter) {
    const PowerStatus charging = PowerStatus::parse(
        {battery({{QStringLiteral("Is Charging"), 1}, {QStringLiteral("Time to Empty"), 125}})},
        QStringLiteral("Battery Power"));
    EXPECT_EQ(charging.source, Source::battery);
    EXPECT_TRUE(charging.isCharging);
    EXPECT_FALSE(charging.minutesRemaining);

    const PowerStatus onAdapter = PowerStatus::parse(
        {battery({{QStringLiteral("Time to Empty"), 125}})}, QStringLiteral("AC Power"));
    EXPECT_FALSE(onAdapter.minutesRemaining);
    const PowerStatus notCharging = PowerStatus::parse(
        {battery({{QStringLiteral("Time to Full Charge"), 20}, {QStringLiteral("Is Charged"), 1}})},
        QStringLiteral("AC Power"));
    EXPECT_FALSE(notCharging.minutesToFull);
    EXPECT_TRUE(notCharging.isCharged);
}

TEST(PowerStatusParse, FlagsAreNumbersOrBooleans) {
    EXPECT_TRUE(PowerStatus::parse({battery({{QStringLiteral("Is Charging"), 2}})}, std::nullopt)
                    .isCharging);
    EXPECT_FALSE(PowerStatus::parse({battery({{QStringLiteral("Is Charging"), 0}})}, std::nullopt)
                     .isCharging);
    EXPECT_FALSE(
        PowerStatus::parse({battery({{QStringLiteral("Is Charging"), QStringLiteral("yes")}})},
                           std::nullopt)
            .isCharging);
}

TEST(PowerStatusParse, AbsentSourcesAreIgnored) {
    const PowerStatus onlyAbsent = PowerStatus::parse(
        {battery({{QStringLiteral("Is Present"), false}})}, QStringLiteral("AC Power"));
    EXPECT_FALSE(onlyAbsent.hasBattery);
    EXPECT_FALSE(onlyAbsent.percentage);

    // The first present battery is the one; a present flag of another type counts as present.
    const PowerStatus second = PowerStatus::parse(
        {battery({{QStringLiteral("Is Present"), 0}, {QStringLiteral("Current Capacity"), 10}}),
         battery({{QStringLiteral("Is Present"), QStringLiteral("no")},
                  {QStringLiteral("Current Capacity"), 60}}),
         battery({{QStringLiteral("Current Capacity"), 90}})},
        QStringLiteral("AC Power"));
    EXPECT_TRUE(second.hasBattery);
    EXPECT_EQ(second.percentage, 60);
}

TEST(PowerStatusParse, TypeMustBeTheExactString) {
    const PowerStatus status =
        PowerStatus::parse({battery({{QStringLiteral("Type"), QStringLiteral("internalbattery")}}),
                            battery({{QStringLiteral("Type"), 1}})},
                           QStringLiteral("AC Power"));
    EXPECT_FALSE(status.hasBattery);
}

TEST(PowerStatusParse, OnUpsPowerTheUpsIsSelected) {
    const PowerStatus status = PowerStatus::parse(
        {battery({{QStringLiteral("Is Charging"), true}}),
         ups({{QStringLiteral("Time to Empty"), 30}, {QStringLiteral("Is Charged"), false}})},
        QStringLiteral("UPS Power"));
    const PowerStatus expected{Source::ups, true, 50, false, false, std::nullopt, 30};
    EXPECT_EQ(status, expected);
}

TEST(PowerStatusParse, UpsPowerWithoutAUpsDescriptionLeavesTheBatteryAside) {
    const PowerStatus status = PowerStatus::parse(
        {battery({{QStringLiteral("Is Charging"), true}, {QStringLiteral("Is Charged"), true}})},
        QStringLiteral("UPS Power"));
    EXPECT_EQ(status.source, Source::ups);
    EXPECT_TRUE(status.hasBattery);
    EXPECT_FALSE(status.percentage);
    EXPECT_FALSE(status.isCharging);
    EXPECT_FALSE(status.isCharged);
}

TEST(PowerStatusParse, TheUpsIsIgnoredUnlessItProvidesPower) {
    const PowerStatus status = PowerStatus::parse({ups()}, QStringLiteral("AC Power"));
    EXPECT_FALSE(status.hasBattery);
    EXPECT_FALSE(status.percentage);
}

TEST(PowerStatusRead, UsesTheSnapshotOrNothing) {
    FakePowerSources sources;
    EXPECT_EQ(PowerStatus::read(sources), PowerStatus{});
    sources.value = PowerSourceSnapshot{{battery({{QStringLiteral("Time to Empty"), 95}})},
                                        QStringLiteral("Battery Power")};
    const PowerStatus expected{Source::battery, true, 80, false, false, std::nullopt, 95};
    EXPECT_EQ(PowerStatus::read(sources), expected);
}
